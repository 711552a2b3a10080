#ifndef GLOWRIG_HUE_TEXT_HPP_
#define GLOWRIG_HUE_TEXT_HPP_

#include <string>

namespace Hue {

// Program text is wide (one wchar_t per character); the REST library, the
// network and the console speak UTF-8. These are the only conversions.

// Returns the UTF-8 form of `text`. Characters that cannot be encoded are skipped.
std::string to_utf8(const std::wstring& text);

// Returns the wide form of UTF-8 `text`. Invalid sequences are skipped.
std::wstring to_wide(const std::string& text);

// As to_wide, but throws std::range_error when `text` is not valid UTF-8.
std::wstring to_wide_strict(const std::string& text);

}  // namespace Hue

#endif  // GLOWRIG_HUE_TEXT_HPP_
