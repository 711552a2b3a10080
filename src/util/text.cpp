#include "util/text.hpp"

#include <boost/locale/encoding_utf.hpp>

namespace Util {
namespace {

bool continues(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string lower_case(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lowered;
}

std::string hex_byte(unsigned char byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

bool is_valid_utf8(std::string_view text) {
    namespace conv = boost::locale::conv;
    try {
        conv::utf_to_utf<char32_t>(text.data(), text.data() + text.size(), conv::stop);
        return true;
    } catch (const conv::conversion_error&) {
        return false;
    }
}

std::size_t code_points(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) count += continues(c) ? 0 : 1;
    return count;
}

std::size_t code_point_prefix(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (continues(text[i])) continue;
        if (seen++ == count) return i;
    }
    return text.size();
}

}  // namespace Util
