#include "cli/completions.hpp"

#include "cli/command_table.hpp"

namespace Cli {
namespace {

// `words` on one line, separated by blanks.
void print_line(std::ostream& out, const std::vector<std::string>& words) {
    std::string line;
    for (const auto& word : words) line += (line.empty() ? "" : " ") + word;
    out << line << std::endl;
}

// "--bri=" for "bri", "-l=" for "l": the form glowrig reads a value in.
std::string written(const OptionDeclaration& option) {
    const std::string dashes = option.name.size() == 1 ? "-" : "--";
    return dashes + option.name + (option.kind == ValueKind::none ? "" : "=");
}

std::vector<std::string> options_of(const std::string& word) {
    const Command* command = find_command(word);
    std::vector<std::string> offered;
    if (command == nullptr) return offered;
    if (std::string(command->word) == "help") {
        for (const Command& each : command_table()) {
            if (std::string(each.word) != "help") offered.push_back(each.word);
        }
        return offered;
    }
    for (const OptionDeclaration& option : command->options) offered.push_back(written(option));
    offered.push_back("--help");
    return offered;
}

// The values of `option` of the command `word` (any, when it names none):
// "--type" takes other words for "group" than for "watch".
std::vector<std::string> values_of(std::string option, const std::string& word) {
    option.erase(0, option.find_first_not_of('-'));
    const Command* only = find_command(word);
    for (const Command& command : command_table()) {
        if (only != nullptr && only != &command) continue;
        for (const OptionDeclaration& declared : command.options) {
            if (declared.name == option) return declared.words;
        }
    }
    return {};
}

}  // namespace

int print_completions(std::ostream& out, const std::vector<std::string>& question) {
    if (question.size() == 1 && question[0] == "words") {
        std::vector<std::string> words;
        for (const Command& command : command_table()) words.push_back(command.word);
        print_line(out, words);
    } else if (question.size() == 2 && question[0] == "options") {
        print_line(out, options_of(question[1]));
    } else if ((question.size() == 2 || question.size() == 3) && question[0] == "values") {
        print_line(out, values_of(question[1], question.size() == 3 ? question[2] : ""));
    } else {
        out << std::endl;
        return 2;
    }
    return 0;
}

}  // namespace Cli
