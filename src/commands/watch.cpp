#include "commands/watch.hpp"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <ctime>
#include <functional>
#include <string>
#include <thread>

#include "commands/usage_error.hpp"
#include "commands/watch_changes.hpp"
#include "commands/watch_stream.hpp"
#include "hue/bridge_error.hpp"
#include "hue/client.hpp"
#include "json/value.hpp"

namespace Commands {
namespace {

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t g_stop = 0;

extern "C" void ask_to_stop(int) { g_stop = 1; }

// While it lives: SIGINT and SIGTERM set g_stop instead of ending the process,
// and SIGPIPE is ignored so that a reader going away shows as a failed write.
class SignalScope {
public:
    SignalScope() {
        g_stop = 0;
        struct sigaction stop = {};
        stop.sa_handler = ask_to_stop;
        sigemptyset(&stop.sa_mask);
        sigaction(SIGINT, &stop, &m_int);
        sigaction(SIGTERM, &stop, &m_term);
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGPIPE, &ignore, &m_pipe);
    }
    ~SignalScope() {
        sigaction(SIGINT, &m_int, nullptr);
        sigaction(SIGTERM, &m_term, nullptr);
        sigaction(SIGPIPE, &m_pipe, nullptr);
    }
    SignalScope(const SignalScope&) = delete;
    SignalScope& operator=(const SignalScope&) = delete;

private:
    struct sigaction m_int {};
    struct sigaction m_term {};
    struct sigaction m_pipe {};
};

// Waits until `until` in steps of at most 50 ms; false when a signal asked
// to stop first.
bool wait_until(Clock::time_point until) {
    while (!g_stop) {
        const auto now = Clock::now();
        if (now >= until) return true;
        std::this_thread::sleep_for(
            std::min<Clock::duration>(until - now, std::chrono::milliseconds(50)));
    }
    return false;
}

// Polls the bridge of `client`: reads its whole state, then again every
// `interval`, and prints what differs from the read before. A failed read
// after the first is a line to sink.warn, unless the bridge no longer knows
// the user: that ends the watch, as no later read can succeed.
void watch_by_polling(const Hue::Client& client, std::chrono::milliseconds interval,
                      const WatchSink& sink) {
    auto read_state = [&] { return watched_state(client.send(Http::Method::Get)); };
    Json::Value last = read_state();
    auto next = Clock::now() + interval;
    while (!sink.done() && wait_until(std::min(next, sink.deadline)) &&
           Clock::now() < sink.deadline) {
        next += interval;
        if (next < Clock::now()) next = Clock::now() + interval;  // a read took longer
        Json::Value now;
        try {
            now = read_state();
        } catch (const Hue::BridgeError& e) {
            if (e.type() == Hue::kUnauthorisedUser) throw;
            sink.warn(e.what());
            continue;
        } catch (const std::exception& e) {
            sink.warn(e.what());
            continue;
        }
        sink.print(last, now);
        last = std::move(now);
    }
}

}  // namespace

void check_watch_options(const WatchOptions& options) {
    if (options.interval && *options.interval < kMinWatchInterval) {
        throw UsageError("Error: option 'interval' must be at least " +
                         std::to_string(kMinWatchInterval) + ".");
    }
    if (options.seconds && *options.seconds < 1) {
        throw UsageError("Error: option 'for' must be at least 1.");
    }
    if (options.count && *options.count < 1) {
        throw UsageError("Error: option 'count' must be at least 1.");
    }
    watch_filter(options.types, options.ids);
}

// Bridges over HTTPS are watched over their event stream, unless they have
// none; the others are polled.
void run_watch_command(const WatchOptions& options, const Settings& settings,
                       const Access::Target& target, const Output& output) {
    const Hue::Client client = target.bridge.make_client(target.identity, "", settings.client);
    const WatchFilter filter = watch_filter(options.types, options.ids);
    SignalScope signals;
    long printed = 0;
    WatchSink sink;
    sink.deadline = options.seconds ? Clock::now() + std::chrono::seconds(*options.seconds)
                                    : Clock::time_point::max();
    sink.done = [&] {
        return g_stop || Clock::now() >= sink.deadline ||
               (options.count && printed >= *options.count);
    };
    sink.print = [&](const Json::Value& before, const Json::Value& after) {
        for (const ResourceChange& change : changes_between(before, after)) {
            if (!filter.passes(change)) continue;
            if (sink.done()) return;
            output.out() << change_line(change, watch_time(std::time(nullptr)), output.json())
                         << '\n';
            output.out().flush();
            if (!output.out()) throw OutputFailed();
            ++printed;
        }
    };
    sink.warn = [&](const std::string& line) {
        output.err() << "glowrig: watch: " << line << std::endl;
    };
    if (client.base().scheme == Http::Scheme::Https &&
        watch_event_stream(client, target.identity.user_id, sink) == StreamWatch::ended) {
        return;
    }
    watch_by_polling(client, std::chrono::milliseconds(options.interval.value_or(1000)), sink);
}

}  // namespace Commands
