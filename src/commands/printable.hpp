#ifndef GLOWRIG_COMMANDS_PRINTABLE_HPP_
#define GLOWRIG_COMMANDS_PRINTABLE_HPP_

#include "util/printable.hpp"

namespace commands {
// Util::printable under its former name, for the files that still use it.
using Util::printable;
}  // namespace commands

#endif  // GLOWRIG_COMMANDS_PRINTABLE_HPP_
