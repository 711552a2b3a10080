#ifndef GLOWRIG_CLI_COMMAND_LINE_HPP_
#define GLOWRIG_CLI_COMMAND_LINE_HPP_

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_table.hpp"

namespace Cli {

// One word of a glowrig command line, as it is read in its one pass: an
// option ("--bri=200", "-l=3", "-help") or a word of its own ("lights").
struct Word {
    std::string text;  // as written
    bool option = false;
    bool long_form = false;            // written with two dashes
    std::string name;                  // an option's name: after its dashes, before "="
    std::optional<std::string> value;  // an option's value: after "="
};

// The words of `args` (the words after the program's name), in order. A word
// that starts with "-" is an option, also "-" alone (whose name is empty).
std::vector<Word> read_words(const std::vector<std::string>& args);

// The values a command line gives the options of one command, each as
// written after "=": a switch holds one empty text, a repeatable option one
// text per time it was given.
class OptionValues {
public:
    bool has(const std::string& name) const { return m_values.count(name) != 0; }
    // REQUIRES: has(name).
    const std::string& text(const std::string& name) const { return m_values.at(name).front(); }
    const std::vector<std::string>& texts(const std::string& name) const {
        return m_values.at(name);
    }
    void add(const std::string& name, const std::string& value) { m_values[name].push_back(value); }

private:
    std::map<std::string, std::vector<std::string>> m_values;
};

// The option of `declared` (or "help", which every command takes) that the
// option word `word` names: the one of that name, else the one its name
// begins with. Throws Commands::UsageError "option '--c=4' is ambiguous and
// matches '--color', and '--ct'" when the name begins several; nullptr when
// it names none.
const OptionDeclaration* option_named(const Word& word,
                                      const std::vector<OptionDeclaration>& declared);

// The values `words` give the options of `command`, its word and the other
// words of their own left out. Throws Commands::UsageError, in the order the
// words come: "the argument for option '--l=' should follow immediately after
// the equal sign" for an option of one dash with "=" and nothing after it;
// "the required argument for option '--ct' is missing" for an option that
// takes a value given none; "option '--on' does not take any arguments" for a
// switch given one; "option '--bridge' cannot be specified more than once"
// for an option given twice that takes one value. After them, the first
// option the command does not take (named as written, with the option it most
// likely misspells): "Error: unknown option --brightness for light; did you
// mean --bri?". An option of two dashes with "=" and nothing after it is
// refused before the command is known (see the entry).
OptionValues read_options(const std::vector<Word>& words, const Command& command);

}  // namespace Cli

#endif  // GLOWRIG_CLI_COMMAND_LINE_HPP_
