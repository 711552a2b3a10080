#ifndef GLOWRIG_UTIL_TEXT_HPP_
#define GLOWRIG_UTIL_TEXT_HPP_

#include <cstddef>
#include <string>
#include <string_view>

namespace Util {

// Program text is UTF-8 in std::string. These helpers look at bytes only and
// never at the locale.

// `text` with its ASCII letters A-Z in lower case; every other byte, UTF-8
// included, as it is.
std::string lower_case(std::string_view text);

// The two upper-case hexadecimal digits of `byte`: 0x0A gives "0A".
std::string hex_byte(unsigned char byte);

// Returns true when `text` is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool is_valid_utf8(std::string_view text);

// Returns the number of code points in UTF-8 `text`: every byte that does not
// continue a sequence counts as one. Used where the output lines up columns.
std::size_t code_points(std::string_view text);

// Returns the number of bytes of the first `count` code points of `text`
// (all of it when it holds fewer).
std::size_t code_point_prefix(std::string_view text, std::size_t count);

}  // namespace Util

#endif  // GLOWRIG_UTIL_TEXT_HPP_
