#include "hue/address.hpp"

namespace Hue {

bool is_bridge_id(const std::string& text) {
    return text.size() == 16 &&
           text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

std::optional<BridgeName> read_bridge_name(const std::string& text) {
    if (auto location = Http::read_endpoint(text, kBridgeLocation)) {
        return BridgeName{std::move(location), std::string()};
    }
    if (is_bridge_id(text)) return BridgeName{std::nullopt, text};
    return std::nullopt;
}

std::string bridge_text(const Http::Endpoint& endpoint) {
    if (endpoint.scheme == Scheme::Http && endpoint.port == kDefaultPort) return endpoint.host;
    return Http::location_text(endpoint);
}

}  // namespace Hue
