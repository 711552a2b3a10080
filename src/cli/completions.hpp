#ifndef GLOWRIG_CLI_COMPLETIONS_HPP_
#define GLOWRIG_CLI_COMPLETIONS_HPP_

#include <ostream>
#include <string>
#include <vector>

namespace Cli {

// The word after which glowrig answers the shell completions' questions
// instead of running a command.
constexpr const char kCompletionsWord[] = "--completions";

// Writes, on one line, what the bash, zsh and fish completions offer, read
// from the command table: for {"words"} every command word; for
// {"options", WORD} the options of that command (in any case) and "--help",
// those that take a value with their "=" ("--bri=", "-l="), or for "help"
// the words of the commands it explains; for {"values", OPTION} or
// {"values", OPTION, WORD} the values the option (of that command, else of
// the first command that has it) takes when they are few ("--effect": "none
// colorloop"), or the colour names of "--color". Writes
// an empty line for anything else. Returns 0, or 2 for a question it does not know.
int print_completions(std::ostream& out, const std::vector<std::string>& question);

}  // namespace Cli

#endif  // GLOWRIG_CLI_COMPLETIONS_HPP_
