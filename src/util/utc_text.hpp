#ifndef GLOWRIG_UTIL_UTC_TEXT_HPP_
#define GLOWRIG_UTIL_UTC_TEXT_HPP_

#include <ctime>
#include <string>

namespace Util {

// Returns `time`, read as a UTC calendar time, in the form "%c UTC" of the
// classic "C" locale, e.g. "Thu May  1 07:00:00 2014 UTC". The fields are
// normalised first, so the weekday is always right and out-of-range fields
// carry over ("2014-05-32" is June 1).
std::string utc_text(const std::tm& time);

// Returns `time`, read and normalised as utc_text() does, as ISO 8601 UTC
// text, e.g. "2014-05-01T07:00:00Z".
std::string utc_iso_text(const std::tm& time);

}  // namespace Util

#endif  // GLOWRIG_UTIL_UTC_TEXT_HPP_
