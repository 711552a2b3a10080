#include "cli/command_line.hpp"

#include <algorithm>

#include "cli/suggestion.hpp"
#include "commands/usage_error.hpp"

namespace Cli {
namespace {

using Commands::UsageError;

// The option every command takes besides its own: the entry answers it first.
const OptionDeclaration kHelp{"help", "", ValueKind::none, {}};

// "--bri", or "-l" for a name of one letter, as the help and README write
// options.
std::string option_text(const std::string& name) { return (name.size() == 1 ? "-" : "--") + name; }

// The line that refuses `word`, an option `command` does not take, naming it
// as written and, when the command has an option it most likely misspells,
// that option.
[[noreturn]] void refuse_unknown(const Word& word, const Command& command) {
    const std::string written = word.text.substr(0, word.text.find('='));
    std::vector<std::string> names{kHelp.name};
    for (const OptionDeclaration& option : command.options) names.push_back(option.name);
    std::string line = "Error: unknown option " + written + " for " + command.word;
    if (const auto near = suggestion(word.name, names))
        line += "; did you mean " + option_text(*near) + "?";
    throw UsageError(line);
}

}  // namespace

std::vector<Word> read_words(const std::vector<std::string>& args) {
    std::vector<Word> words;
    words.reserve(args.size());
    for (const std::string& arg : args) {
        Word word;
        word.text = arg;
        word.option = !arg.empty() && arg[0] == '-';
        if (word.option) {
            word.long_form = arg.size() > 1 && arg[1] == '-';
            const std::size_t start = word.long_form ? 2 : 1;
            const std::size_t equals = arg.find('=', start);
            word.name = arg.substr(start, equals == std::string::npos ? equals : equals - start);
            if (equals != std::string::npos) word.value = arg.substr(equals + 1);
        }
        words.push_back(std::move(word));
    }
    return words;
}

const OptionDeclaration* option_named(const Word& word,
                                      const std::vector<OptionDeclaration>& declared) {
    if (word.name.empty()) return nullptr;  // every name begins with ""
    std::vector<const OptionDeclaration*> all{&kHelp};
    for (const OptionDeclaration& option : declared) all.push_back(&option);
    std::vector<const OptionDeclaration*> begun;
    for (const OptionDeclaration* option : all) {
        if (option->name == word.name) return option;  // a whole name wins over a beginning
        if (option->name.compare(0, word.name.size(), word.name) == 0) begun.push_back(option);
    }
    if (begun.size() <= 1) return begun.empty() ? nullptr : begun.front();
    std::sort(begun.begin(), begun.end(),
              [](const auto* a, const auto* b) { return a->name < b->name; });
    std::string line = "option '" + word.text + "' is ambiguous and matches ";
    for (std::size_t i = 0; i < begun.size(); ++i) {
        line += (i == 0                  ? ""
                 : i + 1 == begun.size() ? ", and "
                                         : ", ") +
                std::string("'--") + begun[i]->name + "'";
    }
    throw UsageError(line);
}

OptionValues read_options(const std::vector<Word>& words, const Command& command) {
    OptionValues values;
    const Word* unknown = nullptr;
    for (const Word& word : words) {
        if (!word.option) continue;
        if (!word.long_form && word.value && word.value->empty()) {
            throw UsageError("the argument for option '--" + word.name +
                             "=' should follow immediately after the equal sign");
        }
        const OptionDeclaration* option = option_named(word, command.options);
        if (option == nullptr) {
            if (unknown == nullptr) unknown = &word;
            continue;
        }
        const std::string name = "--" + option->name;
        if (option->kind == ValueKind::none && word.value) {
            throw UsageError("option '" + name + "' does not take any arguments");
        }
        if (option->kind != ValueKind::none && !word.value) {
            throw UsageError("the required argument for option '" + name + "' is missing");
        }
        if (option->kind != ValueKind::texts && values.has(option->name)) {
            throw UsageError("option '" + name + "' cannot be specified more than once");
        }
        values.add(option->name, word.value.value_or(std::string()));
    }
    if (unknown != nullptr) refuse_unknown(*unknown, command);
    return values;
}

}  // namespace Cli
