#ifndef GLOWRIG_CLI_OPTIONS_HPP_
#define GLOWRIG_CLI_OPTIONS_HPP_

#include <cstddef>
#include <memory>

#include <boost/program_options/options_description.hpp>
#include <boost/program_options/variables_map.hpp>

namespace cli {

namespace po = boost::program_options;

// Number of commands; kGeneralHelp (= kCommandCount) stands for no command.
constexpr std::size_t kCommandCount = 9;
constexpr std::size_t kGeneralHelp = kCommandCount;

// The command word of `index` (0 to 8), for example "light" for 3.
const char* command_word(std::size_t index);

// The general options ("command" and "help") under the general caption.
std::unique_ptr<po::options_description> make_general_options();

// The options of command `index`; above 8, the list of command words.
std::unique_ptr<po::options_description> make_command_options(std::size_t index);

// Writes the general options, the options of `index` (or the no-options line),
// for index above 8 the usage text, and the banner.
void print_help(const po::options_description& general, std::size_t index);

// Returns the index of the lower-cased "command" of `vm`. When it names no
// command, prints the general help and throws std::runtime_error
// "Error: Command not recognized".
std::size_t lookup_command(const po::variables_map& vm, const po::options_description& general);

}  // namespace cli

#endif  // GLOWRIG_CLI_OPTIONS_HPP_
