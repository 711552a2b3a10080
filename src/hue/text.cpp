#include "hue/text.hpp"

#include <boost/locale/encoding_utf.hpp>

namespace Hue {
namespace {

bool continues(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

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

}  // namespace Hue
