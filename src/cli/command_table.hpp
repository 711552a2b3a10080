#ifndef GLOWRIG_CLI_COMMAND_TABLE_HPP_
#define GLOWRIG_CLI_COMMAND_TABLE_HPP_

#include <functional>
#include <string>
#include <vector>

#include "commands/output.hpp"
#include "commands/run_settings.hpp"
#include "hue/app_identity.hpp"

namespace Cli {

class OptionValues;

// How an option is written on the command line.
enum class ValueKind {
    none,    // a switch: --on
    text,    // one value: --name=Hall
    number,  // one integer: --bri=200
    texts,   // repeatable, each occurrence one value: -l=1 -l=3
};

// One option of a command, as help, completion and the parser see it.
struct OptionDeclaration {
    std::string name;
    std::string help;
    ValueKind kind;
    std::vector<std::string> words;  // every value it takes, when they are few; else empty
};

// What a command is run with besides its options.
struct Invocation {
    const Commands::Settings& settings;
    const AppIdentity& computed;  // this computer's identity, before the credentials file
    const Commands::Output& output;
};

// A command whose options have been read and checked, ready to run. Runs to
// completion, prints its result and reports failure by exception.
using PreparedCommand = std::function<void(const Invocation&)>;

// One command of glowrig: the word that names it, the description the general
// help lists, the options it takes beside the general ones (in the order the
// help lists them), and how to read them and run it. The table of them is
// the one place that lists the commands and their options.
struct Command {
    const char* word;
    const char* description;
    std::vector<OptionDeclaration> options;
    // Reads the command's option record from `values` (read_options read
    // them for this command) and checks it; throws Commands::UsageError for a
    // value out of range or not among its words, a missing required option
    // or a "--bridge" that names no bridge. Sends nothing.
    std::function<PreparedCommand(const OptionValues& values)> prepare;
    // Prints a stream of lines that a script reads one by one, every one a
    // change, without the empty line that text printouts start with.
    bool streams = false;
};

// Every command, in the order the general help lists them.
const std::vector<Command>& command_table();

// The command named by `word` in any case; null when it names none.
const Command* find_command(const std::string& word);

}  // namespace Cli

#endif  // GLOWRIG_CLI_COMMAND_TABLE_HPP_
