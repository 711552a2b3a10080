#ifndef GLOWRIG_CLI_ENTRY_HPP_
#define GLOWRIG_CLI_ENTRY_HPP_

namespace Cli {

// Runs one glowrig command from the command line `argv` (UTF-8 words) and
// returns the exit status: 0 for success and for help that was asked for; 2
// for a command line glowrig will not run (unreadable, an unknown command, an
// option the command does not take, an option the options library or the
// command refuses, a missing "id", text that is not UTF-8, a malformed
// setting); 1 for every failure while running,
// for output that could not be written and for a console that cannot be set up.
int run(int argc, char** argv);

}  // namespace Cli

#endif  // GLOWRIG_CLI_ENTRY_HPP_
