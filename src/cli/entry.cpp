#include "cli/entry.hpp"

#include <cstdlib>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <boost/program_options/parsers.hpp>
#include <boost/program_options/positional_options.hpp>
#include <pplx/threadpool.h>

#include "cli/identity.hpp"
#include "cli/options.hpp"
#include "cli/settings.hpp"
#include "commands/printable.hpp"
#include "hue/text.hpp"

namespace cli {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

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

    const commands::Settings settings = read_settings(std::getenv);
    const AppIdentity identity = make_app_identity();
    start_worker_threads();
    command.run(vm, settings, identity);
}

}  // namespace

int run(int argc, char** argv) {
    if (!std::cout.good()) return kFailure;
    std::cout << std::endl;

    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args) {
        if (!Hue::is_valid_utf8(arg)) {
            std::cout << "Error: the command line is not valid UTF-8." << std::endl;
            return kFailure;
        }
    }

    const auto general = make_general_options();
    po::variables_map vm;
    try {
        po::options_description first(po::options_description::m_default_line_length,
                                      po::options_description::m_default_line_length / 2);
        first.add(*general);
        parse(args, first, vm);
        if (!vm.count("command")) throw std::runtime_error("nocommand");
    } catch (...) {
        print_help(*general, nullptr);
        return kSuccess;
    }

    try {
        const Command& command = lookup_command(vm, *general);
        if (vm.count("help")) {
            print_help(*general, &command);
            return kSuccess;
        }
        dispatch(args, *general, command, vm);
    } catch (const std::exception& e) {
        std::cout << commands::printable(e.what()) << std::endl;
        return kFailure;
    } catch (...) {
        std::cout << "Unknown error" << std::endl;
        return kFailure;
    }
    return kSuccess;
}

}  // namespace cli
