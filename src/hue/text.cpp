#include "hue/text.hpp"

#include <stdexcept>

#include <boost/locale/encoding_utf.hpp>

namespace Hue {

namespace conv = boost::locale::conv;

std::string to_utf8(const std::wstring& text) { return conv::utf_to_utf<char>(text); }

std::wstring to_wide(const std::string& text) { return conv::utf_to_utf<wchar_t>(text); }

std::wstring to_wide_strict(const std::string& text) {
    try {
        return conv::utf_to_utf<wchar_t>(text, conv::stop);
    } catch (const conv::conversion_error&) {
        throw std::range_error("invalid UTF-8");
    }
}

}  // namespace Hue
