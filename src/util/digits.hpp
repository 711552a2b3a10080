#ifndef GLOWRIG_UTIL_DIGITS_HPP_
#define GLOWRIG_UTIL_DIGITS_HPP_

#include <string_view>

namespace Util {

// True when `text` is one or more ASCII digits and nothing else.
inline bool all_digits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace Util

#endif  // GLOWRIG_UTIL_DIGITS_HPP_
