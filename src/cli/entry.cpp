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
#include <boost/program_options/errors.hpp>
#include <boost/program_options/parsers.hpp>
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
#include "hue/address.hpp"
#include "util/printable.hpp"
#include "util/text.hpp"

namespace Cli {
namespace {

namespace po = boost::program_options;

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kRefused = 2;        // a command line glowrig will not run
constexpr int kOutputFailed = -1;  // within the entry: a watch's line could not be written

// "--bri", or "-l" for a name of one letter, as the help and README write
// options.
std::string option_text(const std::string& name) { return (name.size() == 1 ? "-" : "--") + name; }

// Refuses the command line when it gives options `command` does not take
// (`unknown`, as written: "--brightness=200"), naming the first as the user
// wrote it and, when the command has an option it most likely misspells, that
// option. Nothing has been read or sent yet.
void refuse_unknown(const std::vector<std::string>& unknown, const Command& command) {
    if (unknown.empty()) return;
    const std::string& token = unknown.front();
    const std::string written = token.substr(0, token.find('='));
    std::vector<std::string> names{"help"};
    for (const OptionDeclaration& option : command.options) names.push_back(option.name);
    std::string line = "Error: unknown option " + written + " for " + command.word;
    const std::size_t start = written.find_first_not_of('-');
    const auto near =
        suggestion(start == std::string::npos ? std::string() : written.substr(start), names);
    if (near) line += "; did you mean " + option_text(*near) + "?";
    throw Commands::UsageError(line);
}

// The line that refuses `word`, which names no command, with the command it
// most likely misspells.
std::string unknown_command(const std::string& word) {
    std::string line = "Error: Command not recognized: \"" + word + "\"";
    std::vector<std::string> words;
    for (const Command& command : command_table()) words.push_back(command.word);
    if (const auto near = suggestion(word, words)) line += "; did you mean " + *near + "?";
    return line;
}

// Parses the command line a second time with the options of `command`,
// reads the settings, builds the identity and runs the command.
void dispatch(const std::vector<std::string>& args, const po::options_description& general,
              const Command& command, const Commands::Output& output) {
    const auto options = make_command_options(&command);
    po::variables_map vm;
    po::options_description second(po::options_description::m_default_line_length,
                                   po::options_description::m_default_line_length / 2);
    second.add(general).add(*options);
    refuse_unknown(parse_command_line(args, second, vm), command);
    const PreparedCommand prepared = command.prepare(vm);

    const Commands::Settings settings = read_settings(std::getenv);
    const AppIdentity identity = make_app_identity();
    prepared(Invocation{settings, identity, output});
}

// True when `arg` asks for the JSON printout.
bool is_json(const std::string& arg) { return arg == "--json" || arg == "-json"; }

// True when the command line asks for the JSON printout: failures then go to
// standard error and nothing but the document to standard output. The one
// place that decides it, before anything is parsed, so that even a line that
// cannot be parsed fails the way the JSON printout does.
bool asks_for_json(const std::vector<std::string>& args) {
    return std::find_if(args.begin(), args.end(), is_json) != args.end();
}

// `args` without the words that ask for the JSON printout: what is left of a
// request for help or for the version, which "--json" does not refuse.
std::vector<std::string> without_json(const std::vector<std::string>& args) {
    std::vector<std::string> words;
    std::copy_if(args.begin(), args.end(), std::back_inserter(words),
                 [](const std::string& arg) { return !is_json(arg); });
    return words;
}

// True when the command line is nothing but a request for the general help,
// with "--json" or without (help is text either way); "--json" alone asks for
// nothing.
bool asks_for_help(const std::vector<std::string>& args) {
    const std::vector<std::string> words = without_json(args);
    if (words.empty() && !args.empty()) return false;
    return std::all_of(words.begin(), words.end(), [](const std::string& arg) {
        return arg == "-h" || arg == "-help" || arg == "--help";
    });
}

// True when `arg` is `word` in any case, as command words are read.
bool is_word(const std::string& arg, const char* word) {
    return boost::algorithm::to_lower_copy(arg, std::locale::classic()) == word;
}

// The line that says why the first stage cannot read `args`, or nothing when
// the words are not the problem: a second word that is not an option. The
// commonest cause is a value given after a blank ("--id 3"), which glowrig
// reads as a word of its own.
std::optional<std::string> second_word(const std::vector<std::string>& args) {
    bool first = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!args[i].empty() && args[i][0] == '-') continue;
        if (first) {
            first = false;
            continue;
        }
        const std::string word = Util::printable(args[i]);
        const std::string& before = args[i - 1];
        std::string line = "Error: \"" + word + "\" is a second command word; ";
        if (before.size() > 1 && before[0] == '-' && before.find('=') == std::string::npos) {
            line += "attach values with \"=\" as in ";
            line += Util::printable(before);
            line += "=";
            line += word;
            line += ".";
        } else {
            line += "glowrig runs one command at a time.";
        }
        return line;
    }
    return std::nullopt;
}

// Runs the command line and returns its status; what it printed may still be
// buffered.
int run_args(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == kCompletionsWord) {
        return print_completions(std::cout, std::vector<std::string>(args.begin() + 1, args.end()));
    }
    const bool json = asks_for_json(args);
    // What is asked for besides the JSON form: help stays text, the version
    // takes the form asked for.
    const std::vector<std::string> words = without_json(args);
    if (words.size() == 1 && (words[0] == "--version" || is_word(words[0], "version"))) {
        print_version(Commands::Output(std::cout, std::cerr, json));
        return kSuccess;
    }
    const Commands::Output output(std::cout, std::cerr, json);
    // Text printouts start with an empty line; a stream of lines does not.
    const auto command_word = std::find_if(words.begin(), words.end(), [](const std::string& word) {
        return word.empty() || word[0] != '-';
    });
    const Command* named = command_word != words.end() ? find_command(*command_word) : nullptr;
    if (!json && !(named != nullptr && named->streams)) std::cout << std::endl;
    const auto fail = [&output](const std::string& message, int status) {
        output.note(Util::printable(message));
        return status;
    };
    // The general help, in text mode, before the line that says what was wrong.
    const auto refuse = [&](const std::string& message) {
        if (!json) print_help(std::cout, nullptr);
        return fail(message, kRefused);
    };

    for (const std::string& arg : args) {
        if (!Util::is_valid_utf8(arg)) {
            return fail("Error: the command line is not valid UTF-8.", kRefused);
        }
    }

    if (!words.empty() && words.size() <= 2 && is_word(words[0], "help")) {
        const Command* topic = words.size() == 2 ? find_command(words[1]) : nullptr;
        if (words.size() == 2 && topic == nullptr) return refuse(unknown_command(words[1]));
        print_help(std::cout, topic);
        return kSuccess;
    }

    const auto general = make_general_options();
    po::variables_map vm;
    try {
        if (const auto line = second_word(args)) return refuse(*line);
        po::options_description first(po::options_description::m_default_line_length,
                                      po::options_description::m_default_line_length / 2);
        first.add(*general);
        parse_command_line(args, first, vm);
    } catch (const po::error& e) {
        return refuse(std::string("Error: ") + e.what() + ".");
    }
    if (!vm.count("command")) {
        // glowrig alone and a bare help option ask for the help.
        if (asks_for_help(args)) {
            print_help(std::cout, nullptr);
            return kSuccess;
        }
        return refuse("Error: the command line names no command.");
    }

    try {
        const std::string word = vm["command"].as<std::vector<std::string>>().front();
        const Command* command = find_command(word);
        if (command == nullptr) {
            return refuse(unknown_command(word));
        }
        if (vm.count("help")) {
            print_help(std::cout, command);
            return kSuccess;
        }
        dispatch(args, *general, *command, output);
    } catch (const po::error& e) {
        return fail(e.what(), kRefused);
    } catch (const Commands::UsageError& e) {
        return fail(e.what(), kRefused);
    } catch (const Commands::OutputFailed&) {
        return kOutputFailed;
    } catch (const Commands::AdvisedFailure& e) {
        const int status = fail(e.what(), kFailure);
        // After the failure's line, when both streams go to one terminal.
        std::cout.flush();
        std::cerr << Util::printable(e.advice()) << std::endl;
        return status;
    } catch (const std::exception& e) {
        return fail(e.what(), kFailure);
    } catch (...) {
        return fail("Unknown error", kFailure);
    }
    return kSuccess;
}

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
    const int status = finish(run_args(std::vector<std::string>(argv + 1, argv + argc)), buffer);
    std::cout.rdbuf(saved);
    return status;
}

}  // namespace Cli
