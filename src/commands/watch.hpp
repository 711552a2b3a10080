#ifndef GLOWRIG_COMMANDS_WATCH_HPP_
#define GLOWRIG_COMMANDS_WATCH_HPP_

#include <stdexcept>

#include "access/bridge_selection.hpp"
#include "commands/options.hpp"
#include "commands/output.hpp"
#include "commands/run_settings.hpp"

namespace Commands {

// "watch" could not write a line to standard output. The entry ends the run
// quietly with status 0 when the reader went away (EPIPE), else it says why
// the output failed, as for any command.
class OutputFailed : public std::runtime_error {
public:
    OutputFailed() : std::runtime_error("the output could not be written") {}
};

// The fewest milliseconds between two reads of the bridge.
inline constexpr int kMinWatchInterval = 200;

// Refuses an interval under kMinWatchInterval, a --for or --count of 0, and
// a --type or --id that watch_filter refuses.
void check_watch_options(const WatchOptions& options);

// Runs the "watch" command: prints one line (flushed) for each change of a
// light, group or sensor as it happens (those --type and --id let through),
// over the bridge's event stream when it is reached over HTTPS and has one
// (see watch_event_stream), else by reading its whole state every interval
// and comparing. Ends after --for seconds, --count lines, SIGINT or SIGTERM
// (after the current line), or when the output cannot be written
// (OutputFailed). The first read of the whole state failing fails the
// command; a later failure is a line on the error stream and the watch goes
// on, except a bridge that no longer knows the user (Hue::BridgeError of
// type 1), which ends it with that error.
void run_watch_command(const WatchOptions& options, const Settings& settings,
                       const Access::Target& target, const Output& output);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_WATCH_HPP_
