#ifndef GLOWRIG_COMMANDS_USAGE_ERROR_HPP_
#define GLOWRIG_COMMANDS_USAGE_ERROR_HPP_

#include <stdexcept>

namespace Commands {

// A command line glowrig will not run: an option out of its range or not one
// of its words, a missing option, a malformed setting. The entry ends such a
// run with status 2, every other failure with status 1.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_USAGE_ERROR_HPP_
