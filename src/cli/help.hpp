#ifndef GLOWRIG_CLI_HELP_HPP_
#define GLOWRIG_CLI_HELP_HPP_

#include <memory>
#include <ostream>

#include <boost/program_options/options_description.hpp>

#include "cli/command_table.hpp"

namespace Cli {

// The general options ("command" and "help") under the general caption.
std::unique_ptr<boost::program_options::options_description> make_general_options();

// The declared options of `command` under "Options for WORD", as the parser
// reads them; for null, the list of command words.
std::unique_ptr<boost::program_options::options_description> make_command_options(
    const Command* command);

// Writes the general options, the options of `command` (or the no-options
// line), for null the list of commands and the usage text, and the banner.
void print_help(std::ostream& out, const Command* command);

// Writes "glowrig VERSION", the project's version, or with JSON the document
// {"version":"VERSION"}.
void print_version(const Commands::Output& output);

}  // namespace Cli

#endif  // GLOWRIG_CLI_HELP_HPP_
