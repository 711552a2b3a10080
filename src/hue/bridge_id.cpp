#include "hue/bridge_id.hpp"

#include "json/value.hpp"

namespace Hue {
namespace {

// `c` as an upper-case hexadecimal digit, or 0 when it is none.
char hex_digit(char c) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) return c;
    if (c >= 'a' && c <= 'f') return static_cast<char>(c - 'a' + 'A');
    return 0;
}

}  // namespace

std::optional<std::string> bridge_id_from_mac(const std::string& mac) {
    // "xx:xx:xx:xx:xx:xx": a separator after every pair of digits but the last.
    constexpr std::size_t kLength = 6 * 3 - 1;
    if (mac.size() != kLength) return std::nullopt;
    std::string digits;
    for (std::size_t i = 0; i < kLength; ++i) {
        if (i % 3 == 2) {
            if (mac[i] != ':' && mac[i] != '-') return std::nullopt;
            continue;
        }
        const char digit = hex_digit(mac[i]);
        if (digit == 0) return std::nullopt;
        digits += digit;
    }
    return digits.substr(0, 6) + "FFFE" + digits.substr(6);
}

std::optional<std::string> configuration_bridge_id(const Json::Value& configuration) {
    const Json::Value* id = Json::find(configuration, "bridgeid");
    if (id != nullptr && id->is_string() && !Json::as_string(*id).empty()) {
        return Json::as_string(*id);
    }
    const Json::Value* mac = Json::find(configuration, "mac");
    if (mac != nullptr && mac->is_string()) return bridge_id_from_mac(Json::as_string(*mac));
    return std::nullopt;
}

}  // namespace Hue
