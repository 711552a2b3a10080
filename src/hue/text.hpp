#ifndef GLOWRIG_HUE_TEXT_HPP_
#define GLOWRIG_HUE_TEXT_HPP_

#include <cstddef>
#include <string_view>

namespace Hue {

// Program text is UTF-8 in std::string, the REST library's own string type.

// Returns true when `text` is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool is_valid_utf8(std::string_view text);

// Returns the number of code points in UTF-8 `text`: every byte that does not
// continue a sequence counts as one. Used where the output lines up columns.
std::size_t code_points(std::string_view text);

// Returns the number of bytes of the first `count` code points of `text`
// (all of it when it holds fewer).
std::size_t code_point_prefix(std::string_view text, std::size_t count);

}  // namespace Hue

#endif  // GLOWRIG_HUE_TEXT_HPP_
