#ifndef GLOWRIG_CLI_ENTRY_HPP_
#define GLOWRIG_CLI_ENTRY_HPP_

namespace cli {

// Runs one glowrig command from the command line `argv` (UTF-8 words) and
// returns the exit status: 0 for success and for every help output, 1 for a
// failure that was printed, and for a console that cannot be set up.
int run(int argc, char** argv);

}  // namespace cli

#endif  // GLOWRIG_CLI_ENTRY_HPP_
