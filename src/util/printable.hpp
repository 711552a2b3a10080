#ifndef GLOWRIG_UTIL_PRINTABLE_HPP_
#define GLOWRIG_UTIL_PRINTABLE_HPP_

#include <string>
#include <string_view>

namespace Util {

// Returns `text` made safe for a terminal: every C0 control (U+0000 to
// U+001F), DEL and C1 control (U+0080 to U+009F), and every byte that is not
// part of valid UTF-8, becomes U+FFFD; everything else is kept as it is.
// Applied to each text from the network or the command line before it is
// printed, so that no peer can move the cursor, retitle or reprogram the
// user's terminal.
std::string printable(std::string_view text);

}  // namespace Util

#endif  // GLOWRIG_UTIL_PRINTABLE_HPP_
