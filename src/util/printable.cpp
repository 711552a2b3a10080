#include "util/printable.hpp"

#include <boost/locale/utf.hpp>

namespace Util {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

bool is_control(boost::locale::utf::code_point c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

}  // namespace

std::string printable(std::string_view text) {
    namespace utf = boost::locale::utf;
    std::string result;
    result.reserve(text.size());
    const char* const end = text.data() + text.size();
    for (const char* p = text.data(); p != end;) {
        const char* const start = p;
        const utf::code_point c = utf::utf_traits<char>::decode(p, end);
        if (c == utf::illegal || c == utf::incomplete) {
            // One replacement per byte that starts no valid sequence.
            result += kReplacement;
            p = start + 1;
        } else if (is_control(c)) {
            result += kReplacement;
        } else {
            result.append(start, p);
        }
    }
    return result;
}

}  // namespace Util
