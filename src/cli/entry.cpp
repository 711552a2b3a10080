#include "cli/entry.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <iterator>
#include <locale>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <boost/algorithm/string/case_conv.hpp>
#include <fcntl.h>
#include <unistd.h>

#include "cli/command_line.hpp"
#include "cli/command_table.hpp"
#include "cli/completions.hpp"
#include "cli/environment_settings.hpp"
#include "cli/help.hpp"
#include "cli/identity.hpp"
#include "cli/suggestion.hpp"
#include "commands/bridge_error_advice.hpp"
#include "commands/output.hpp"
#include "commands/usage_error.hpp"
#include "commands/watch.hpp"
#include "http/exchange.hpp"
#include "hue/address.hpp"
#include "hue/pacing.hpp"
#include "util/printable.hpp"
#include "util/text.hpp"

namespace Cli {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kRefused = 2;        // a command line glowrig will not run
constexpr int kOutputFailed = -1;  // within the entry: a watch's line could not be written

// The line that refuses `word`, which names no command, with the command it
// most likely misspells.
std::string unknown_command(const std::string& word) {
    std::string line = "Error: Command not recognized: \"" + word + "\"";
    std::vector<std::string> words;
    for (const Command& command : command_table()) words.push_back(command.word);
    if (const auto near = suggestion(word, words)) line += "; did you mean " + *near + "?";
    return line;
}

// True when `word` asks for the JSON printout.
bool is_json(const Word& word) { return word.option && !word.value && word.name == "json"; }

// True when `word` asks for help: "-h", "-help", "--help" or any other
// beginning of "help" written as an option.
bool is_help(const Word& word) {
    return word.option && !word.value && !word.name.empty() &&
           std::string("help").compare(0, word.name.size(), word.name) == 0;
}

// True when `word` is `name` in any case, as command words are read.
bool is_word(const Word& word, const char* name) {
    return !word.option &&
           boost::algorithm::to_lower_copy(word.text, std::locale::classic()) == name;
}

// The line that says why the command line cannot be read before its command
// is known, or nothing: a second word that is not an option (the commonest
// cause is a value given after a blank, "--id 3", which glowrig reads as a
// word of its own), or an option of two dashes with "=" and nothing after it.
std::optional<std::string> unreadable(const std::vector<Word>& words) {
    bool first = true;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i].option) continue;
        if (first) {
            first = false;
            continue;
        }
        const std::string word = Util::printable(words[i].text);
        const Word& before = words[i - 1];
        std::string line = "Error: \"" + word + "\" is a second command word; ";
        if (before.option && !before.value && before.text.size() > 1) {
            line +=
                "attach values with \"=\" as in " + Util::printable(before.text) + "=" + word + ".";
        } else {
            line += "glowrig runs one command at a time.";
        }
        return line;
    }
    for (const Word& word : words) {
        if (word.option && word.long_form && word.value && word.value->empty()) {
            return "Error: the argument for option '--" + Util::printable(word.name) +
                   "' should follow immediately after the equal sign.";
        }
    }
    return std::nullopt;
}

// True when `word` names the option `name` of `command`, as read_options
// reads it ("--brie" as well as "--brief"); an ambiguous word names none here
// and is refused when the options are read.
bool names_option(const Word& word, const Command& command, const char* name) {
    try {
        const OptionDeclaration* option = option_named(word, command.options);
        return option != nullptr && option->name == name;
    } catch (const Commands::UsageError&) {
        return false;
    }
}

}  // namespace

int run_command_line(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const Environment& environment, bool terminal) {
    // The connections kept for later requests of this run, and its pacing of
    // commands, end with it.
    struct RunEnd {
        ~RunEnd() {
            Http::end_kept_connections();
            Hue::end_pacing();
        }
    } run_end;
    if (!args.empty() && args[0] == kCompletionsWord) {
        return print_completions(out, std::vector<std::string>(args.begin() + 1, args.end()));
    }
    // The one pass over the command line: every later step reads its words.
    const std::vector<Word> words = read_words(args);
    const bool json = std::any_of(words.begin(), words.end(), is_json);
    std::vector<Word> asked;  // what is asked for besides the JSON form
    std::copy_if(words.begin(), words.end(), std::back_inserter(asked),
                 [](const Word& word) { return !is_json(word); });
    const Commands::Output output(out, err, json);
    // Help stays text, the version takes the form asked for.
    if (asked.size() == 1 && (asked[0].text == "--version" || is_word(asked[0], "version"))) {
        print_version(output);
        return kSuccess;
    }
    const auto named =
        std::find_if(asked.begin(), asked.end(), [](const Word& word) { return !word.option; });
    const Command* command = named != asked.end() ? find_command(named->text) : nullptr;
    // Text printouts start with an empty line; a stream of lines and a brief
    // listing, which scripts read line by line, do not.
    const bool brief =
        command != nullptr && std::any_of(asked.begin(), asked.end(), [&](const Word& word) {
            return word.option && names_option(word, *command, "brief");
        });
    if (!json && !(command != nullptr && command->streams) && !brief) out << std::endl;
    const auto fail = [&output](const std::string& message, int status) {
        output.note(Util::printable(message));
        return status;
    };
    // The general help, in text mode, before the line that says what was wrong.
    const auto refuse = [&](const std::string& message) {
        if (!json) print_help(out, nullptr);
        return fail(message, kRefused);
    };

    for (const std::string& arg : args) {
        if (!Util::is_valid_utf8(arg)) {
            return fail("Error: the command line is not valid UTF-8.", kRefused);
        }
    }

    if (!asked.empty() && asked.size() <= 2 && is_word(asked[0], "help")) {
        const Command* topic = asked.size() == 2 ? find_command(asked[1].text) : nullptr;
        if (asked.size() == 2 && topic == nullptr) return refuse(unknown_command(asked[1].text));
        print_help(out, topic);
        return kSuccess;
    }
    if (const auto line = unreadable(words)) return refuse(*line);
    const bool help = std::any_of(asked.begin(), asked.end(), is_help);
    if (named == asked.end()) {
        // glowrig alone and a bare help option ask for the help; "--json"
        // alone asks for nothing.
        if ((asked.empty() && words.empty()) ||
            (!asked.empty() && help && std::all_of(asked.begin(), asked.end(), is_help))) {
            print_help(out, nullptr);
            return kSuccess;
        }
        return refuse("Error: the command line names no command.");
    }
    if (command == nullptr) return refuse(unknown_command(named->text));
    if (help) {
        print_help(out, command);
        return kSuccess;
    }

    try {
        const PreparedCommand prepared = command->prepare(read_options(words, *command));
        const Commands::Settings settings = read_settings(environment, terminal);
        const AppIdentity identity = make_app_identity();
        prepared(Invocation{settings, identity, output});
    } catch (const Commands::UsageError& e) {
        return fail(e.what(), kRefused);
    } catch (const Commands::OutputFailed&) {
        return kOutputFailed;
    } catch (const Commands::AdvisedFailure& e) {
        const int status = fail(e.what(), kFailure);
        // After the failure's line, when both streams go to one terminal.
        out.flush();
        err << Util::printable(e.advice()) << std::endl;
        return status;
    } catch (const std::exception& e) {
        return fail(e.what(), kFailure);
    } catch (...) {
        return fail("Unknown error", kFailure);
    }
    return kSuccess;
}

namespace {

// The buffer of std::cout while a command runs: writes to standard output
// and keeps the error of the first write that failed, which the C library's
// stream does not keep once it has dropped what it could not write.
class OutputBuffer : public std::streambuf {
public:
    OutputBuffer() { setp(m_data, m_data + sizeof m_data); }

    // The error of the first failed write; 0 while every write succeeded.
    int error() const { return m_error; }

protected:
    int_type overflow(int_type c) override {
        if (sync() != 0) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override {
        const char* next = pbase();
        while (next < pptr()) {
            const ssize_t written = ::write(STDOUT_FILENO, next, pptr() - next);
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) {
                if (m_error == 0) m_error = written < 0 ? errno : EIO;
                setp(m_data, m_data + sizeof m_data);
                return -1;
            }
            next += written;
        }
        setp(m_data, m_data + sizeof m_data);
        return 0;
    }

private:
    char m_data[4096];
    int m_error = 0;
};

// Says on standard error that standard output could not be written.
int cannot_write(int error) {
    std::cerr << "glowrig: cannot write output: " << std::strerror(error) << std::endl;
    return kFailure;
}

// Writes out what is still buffered in `buffer`. When any of the output
// could not be written (a full disk, a reader that left while SIGPIPE is
// ignored), says so on standard error and turns `status` into a failure.
int finish(int status, OutputBuffer& buffer) {
    std::cout.flush();
    if (status == kOutputFailed) {
        // A watch ends when its reader goes away ("watch | head -3").
        if (buffer.error() == EPIPE || buffer.error() == 0) return kSuccess;
    } else if (buffer.error() == 0) {
        return status;
    }
    return cannot_write(buffer.error());
}

}  // namespace

int run(int argc, char** argv) {
    if (!std::cout.good()) return kFailure;
    // A closed standard output is refused before anything is sent: the
    // descriptor could otherwise be reused by a connection and receive the
    // printout.
    if (fcntl(STDOUT_FILENO, F_GETFD) == -1) return cannot_write(errno);
    std::fflush(stdout);
    OutputBuffer buffer;
    std::streambuf* const saved = std::cout.rdbuf(&buffer);
    const int status =
        finish(run_command_line(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                std::cerr, std::getenv, isatty(STDOUT_FILENO) == 1),
               buffer);
    std::cout.rdbuf(saved);
    return status;
}

}  // namespace Cli
