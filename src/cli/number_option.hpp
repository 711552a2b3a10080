#ifndef GLOWRIG_CLI_NUMBER_OPTION_HPP_
#define GLOWRIG_CLI_NUMBER_OPTION_HPP_

#include <string>

#include "commands/options.hpp"

namespace Cli {

// The forms the value of an integer option takes on the command line.
struct NumberForms {
    long long low = 0;
    long long high = 0;
    int step = 0;                // "+N" and "-N" change the value by N (1-step); 0: not taken
    bool percent = false;        // "N%", N 0-100: N x 254 / 100, rounded (a brightness)
    const char* unit = nullptr;  // a unit the number may carry ("K"), in any letter case
};

// Reads `text`, the value of the option `name`, in one of `forms`. Throws
// Commands::UsageError "Error: option 'bri' must be between 0 and 255." for a
// whole number outside low-high (a negative one included, when steps are not
// taken), and "Error: option 'bri' must be ..." naming every form it takes for
// any other text that is in none of them ("ten", "150%", "5.5%", "1e2").
Commands::Level read_number(const std::string& text, const char* name, const NumberForms& forms);

}  // namespace Cli

#endif  // GLOWRIG_CLI_NUMBER_OPTION_HPP_
