#ifndef GLOWRIG_CLI_ENTRY_HPP_
#define GLOWRIG_CLI_ENTRY_HPP_

#include <ostream>
#include <string>
#include <vector>

#include "cli/environment_settings.hpp"

namespace Cli {

// Runs the command line `args` (the words after the program's name) as run()
// does, writing the printout to `out` and diagnostics to `err` and reading the
// settings through `environment` (`terminal`: `out` is a terminal's), and returns its exit status;
// -1 when a stream of lines ("watch") ended because `out` could not be written. What it wrote may
// still be buffered in `out`.
int run_command_line(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const Environment& environment, bool terminal = false);

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
