#ifndef GLOWRIG_CLI_OPTIONS_HPP_
#define GLOWRIG_CLI_OPTIONS_HPP_

#include <memory>
#include <string>
#include <vector>

#include <boost/program_options/options_description.hpp>
#include <boost/program_options/variables_map.hpp>

#include "commands/command.hpp"

namespace cli {

namespace po = boost::program_options;

// One command of glowrig: the word that names it, the description the general
// help lists, the options it takes beside the general ones, and the function
// that runs it. The table of them is the one place that lists the commands.
struct Command {
    const char* word;
    const char* description;
    void (*add_options)(po::options_description& options, const std::string& word);
    commands::CommandFunction run;
};

// Every command, in the order the general help lists them.
const std::vector<Command>& command_table();

// The general options ("command" and "help") under the general caption.
std::unique_ptr<po::options_description> make_general_options();

// The options of `command` under "Options for WORD"; for null, the list of
// command words.
std::unique_ptr<po::options_description> make_command_options(const Command* command);

// Writes the general options, the options of `command` (or the no-options
// line), for null the list of commands and the usage text, and the banner.
void print_help(const po::options_description& general, const Command* command);

// Writes "glowrig VERSION", the project's version.
void print_version();

// The command named by `word` in any case; null when it names none.
const Command* find_command(const std::string& word);

}  // namespace cli

#endif  // GLOWRIG_CLI_OPTIONS_HPP_
