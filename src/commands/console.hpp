#ifndef GLOWRIG_COMMANDS_CONSOLE_HPP_
#define GLOWRIG_COMMANDS_CONSOLE_HPP_

#include <ctime>
#include <string>

namespace commands {

// Console conventions shared by every printout: all output goes to std::cout,
// every line ends with std::endl (which flushes), labels are fixed-width
// literals, booleans print as 1 and 0 and no stream flag is ever set.

// Returns `time`, read as a UTC calendar time, in the form "%c UTC" of the
// classic "C" locale, e.g. "Thu May  1 07:00:00 2014 UTC". The fields are
// normalised first, so the weekday is always right and out-of-range fields
// carry over ("2014-05-32" is June 1).
std::string utc_text(const std::tm& time);

// Returns `time`, read and normalised as utc_text() does, as ISO 8601 UTC
// text, e.g. "2014-05-01T07:00:00Z".
std::string utc_iso_text(const std::tm& time);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_CONSOLE_HPP_
