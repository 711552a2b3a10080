#include "cli/entry.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <locale>
#include <stdexcept>
#include <string>
#include <vector>

#include <boost/algorithm/string/case_conv.hpp>
#include <boost/program_options/errors.hpp>
#include <boost/program_options/parsers.hpp>
#include <boost/program_options/positional_options.hpp>
#include <fcntl.h>
#include <pplx/threadpool.h>
#include <unistd.h>

#include "cli/identity.hpp"
#include "cli/options.hpp"
#include "cli/settings.hpp"
#include "commands/command.hpp"
#include "commands/printable.hpp"
#include "hue/address.hpp"
#include "hue/text.hpp"

namespace cli {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kRefused = 2;  // a command line glowrig will not run

// The REST library's worker threads run the request I/O and every task
// continuation. Left alone it starts 40 of them at its first request, which
// costs a command more than its requests do; a command has at most two
// requests in flight and no continuation blocks, so a few threads suffice.
constexpr std::size_t kWorkerThreads = 4;

// Starts the worker threads, unless something has started them already.
void start_worker_threads() {
    try {
        crossplat::threadpool::initialize_with_threads(kWorkerThreads);
    } catch (const std::runtime_error&) {
        // Already running: the threads it has are kept.
    }
}

// Parses `args` against `desc`, every positional word going to "command";
// options that `desc` does not declare are skipped.
void parse(const std::vector<std::string>& args, const po::options_description& desc,
           po::variables_map& vm) {
    po::positional_options_description positional;
    positional.add("command", -1);
    const int style =
        po::command_line_style::unix_style | po::command_line_style::allow_long_disguise;
    po::store(po::command_line_parser(args)
                  .options(desc)
                  .positional(positional)
                  .allow_unregistered()
                  .style(style)
                  .run(),
              vm);
    po::notify(vm);
}

// Parses the command line a second time with the options of `command`,
// reads the settings, builds the identity and runs the command.
void dispatch(const std::vector<std::string>& args, const po::options_description& general,
              const Command& command, po::variables_map& vm) {
    const auto options = make_command_options(&command);
    vm.clear();
    po::options_description second(po::options_description::m_default_line_length,
                                   po::options_description::m_default_line_length / 2);
    second.add(general).add(*options);
    parse(args, second, vm);
    // A bridge named by neither an address nor an id would only be searched
    // for in vain: refused before anything is sent.
    if (vm.count("bridge") && !Hue::names_a_bridge(vm["bridge"].as<std::string>())) {
        throw commands::UsageError("Error: option 'bridge' must be an address or a bridge id.");
    }

    const commands::Settings settings = read_settings(std::getenv);
    const AppIdentity identity = make_app_identity();
    start_worker_threads();
    command.run(vm, settings, identity);
}

// True when the command line asks for the JSON printout: failures then go to
// standard error and nothing but the document to standard output.
bool asks_for_json(const std::vector<std::string>& args) {
    return std::find_if(args.begin(), args.end(), [](const std::string& arg) {
               return arg == "--json" || arg == "-json";
           }) != args.end();
}

// True when the command line is nothing but a request for the general help.
bool asks_for_help(const std::vector<std::string>& args) {
    return std::all_of(args.begin(), args.end(), [](const std::string& arg) {
        return arg == "-h" || arg == "-help" || arg == "--help";
    });
}

// True when `arg` is `word` in any case, as command words are read.
bool is_word(const std::string& arg, const char* word) {
    return boost::algorithm::to_lower_copy(arg, std::locale::classic()) == word;
}

// Runs the command line and returns its status; what it printed may still be
// buffered.
int run_args(const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--version" || is_word(args[0], "version"))) {
        print_version();
        return kSuccess;
    }
    const bool json = asks_for_json(args);
    if (!json) std::cout << std::endl;
    const auto fail = [json](const std::string& message, int status) {
        (json ? std::cerr : std::cout) << commands::printable(message) << std::endl;
        return status;
    };

    for (const std::string& arg : args) {
        if (!Hue::is_valid_utf8(arg)) {
            return fail("Error: the command line is not valid UTF-8.", kRefused);
        }
    }

    const auto general = make_general_options();
    if (!args.empty() && args.size() <= 2 && is_word(args[0], "help")) {
        const Command* topic = args.size() == 2 ? find_command(args[1]) : nullptr;
        print_help(*general, topic);
        if (args.size() == 2 && topic == nullptr) {
            return fail("Error: Command not recognized", kRefused);
        }
        return kSuccess;
    }

    po::variables_map vm;
    try {
        po::options_description first(po::options_description::m_default_line_length,
                                      po::options_description::m_default_line_length / 2);
        first.add(*general);
        parse(args, first, vm);
        if (!vm.count("command")) throw std::runtime_error("nocommand");
    } catch (...) {
        // glowrig alone and a bare help option ask for the help; any other
        // line the first stage cannot read is refused with it.
        if (asks_for_help(args)) {
            print_help(*general, nullptr);
            return kSuccess;
        }
        if (json) {
            return fail("Error: the command line cannot be read.  Try glowrig -help", kRefused);
        }
        print_help(*general, nullptr);
        return kRefused;
    }

    try {
        const Command* command = find_command(vm["command"].as<std::string>());
        if (command == nullptr) {
            if (!json) print_help(*general, nullptr);
            return fail("Error: Command not recognized", kRefused);
        }
        if (vm.count("help")) {
            print_help(*general, command);
            return kSuccess;
        }
        dispatch(args, *general, *command, vm);
    } catch (const po::error& e) {
        return fail(e.what(), kRefused);
    } catch (const commands::UsageError& e) {
        return fail(e.what(), kRefused);
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
    if (buffer.error() == 0) return status;
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

}  // namespace cli
