#include "commands/watch_stream.hpp"

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>
#include <thread>
#include <utility>

#include <boost/asio/io_context.hpp>

#include "commands/watch_changes.hpp"
#include "hue/bridge_error.hpp"
#include "hue/v2/button_controls.hpp"
#include "hue/v2/event_properties.hpp"

namespace Commands {
namespace {

using Clock = std::chrono::steady_clock;

// The fewest milliseconds between two reads of resources: at most ten a
// second reach the bridge, as it asks of its clients.
constexpr std::chrono::milliseconds kReadSpacing{100};
// The longest the watch waits before it looks at its sink again.
constexpr std::chrono::milliseconds kLongestPause{50};
// A failed read of the whole state after a reconnect is tried again this much later.
constexpr std::chrono::seconds kResyncRetry{1};
// More resources waiting to be read than this are read as one whole state.
constexpr std::size_t kMostWaiting = 256;

// The text of a failure without its "Error: " and its full stop, to go
// inside a line: "cannot connect to 192.0.2.1:443: connection refused".
std::string cause_of(const std::exception& failure) {
    std::string_view text = failure.what();
    if (text.rfind("Error: ", 0) == 0) text.remove_prefix(7);
    if (!text.empty() && text.back() == '.') text.remove_suffix(1);
    return std::string(text);
}

// True when `failure` says the bridge no longer knows the user: no later
// request can succeed, so the watch ends with it.
bool unauthorised(const std::exception& failure) {
    const auto* error = dynamic_cast<const Hue::BridgeError*>(&failure);
    return error != nullptr && error->type() == Hue::kUnauthorisedUser;
}

// The collection and the id of a resource's path: "lights" and "3" of
// "/lights/3".
std::pair<std::string, std::string> split_path(const std::string& path) {
    const std::size_t slash = path.find('/', 1);
    return {path.substr(1, slash - 1), path.substr(slash + 1)};
}

class StreamWatcher {
public:
    StreamWatcher(const Hue::Client& client, const std::string& user, const WatchSink& sink,
                  const StreamWatchTimes& times)
        : m_client(client),
          m_user(user),
          m_sink(sink),
          m_steady(times.steady),
          m_stream(m_io, client, user, times.silence) {}

    StreamWatcher(const StreamWatcher&) = delete;
    StreamWatcher& operator=(const StreamWatcher&) = delete;

    StreamWatch run() {
        open();
        while (!m_sink.done() && Clock::now() < m_sink.deadline) {
            const auto now = Clock::now();
            if (m_resync_at && now >= *m_resync_at) resync(now);
            // What the events named before a break is read before the break
            // is told.
            read_due(now);
            if (m_failure) {
                const Http::Failure failure = std::move(*m_failure);
                m_failure.reset();
                if (m_attempts == 1 && Hue::lacks_event_stream(failure)) {
                    return StreamWatch::no_stream;
                }
                Hue::throw_if_user_refused(failure);
                // The starting copies, which the first read of the whole
                // state makes or fails the watch.
                if (!m_last) m_last = read_whole();
                broke(cause_of(failure));
            }
            if (m_sink.done()) break;
            if (!m_stream.is_open() && Clock::now() >= m_reconnect_at) open();
            wait_until(next_wake(Clock::now()));
        }
        return StreamWatch::ended;
    }

private:
    void open() {
        ++m_attempts;
        m_opened_at.reset();
        Hue::EventStreamHandlers handlers;
        handlers.opened = [this] {
            m_opened_at = Clock::now();
            m_resync_at = m_opened_at;
        };
        // A light's or sensor's change is printed from what its event says;
        // each other resource an event names is read when its turn comes.
        handlers.changed = [this](const Hue::EventChange& change) {
            if (!watched(change) || told(change)) return;
            schedule(change.path, Clock::now());
        };
        handlers.ended = [this](Http::Failure failure) { m_failure.emplace(std::move(failure)); };
        m_stream.open(std::move(handlers));
    }

    // True when the change is about a resource of the copies, or adds one.
    // Others (the group of all lights, which the whole state does not hold)
    // print nothing, as polling would print nothing of them.
    bool watched(const Hue::EventChange& change) const {
        if (change.type == "add") return true;
        if (!m_last) return false;  // the starting copies are read once the stream is open
        const auto [collection, id] = split_path(change.path);
        const Json::Value* copies = Json::find(*m_last, collection);
        return copies != nullptr && Json::has(*copies, id);
    }

    // Prints the change of a light or sensor of the copies from the
    // properties its event carries; false when they do not tell it (none, a
    // new name, a value without an older member) or a read of it is already
    // planned.
    bool told(const Hue::EventChange& change) {
        if (change.kind == "group" || change.type != "update" || !m_last) return false;
        if (m_due.count(change.path) != 0) return false;
        const auto [collection, id] = split_path(change.path);
        Json::Value& copies = (*m_last)[collection];
        Json::Value* copy = copies.is_object() && Json::has(copies, id) ? &copies[id] : nullptr;
        if (copy == nullptr || !copy->is_object()) return false;
        if (!m_controls_read && !Hue::V2::unknown_buttons(change.items, m_controls).empty()) {
            read_controls();
        }
        auto after = Hue::V2::older_item_after(change.kind, *copy, change.items, m_controls);
        if (!after) return false;
        Json::Value before = Json::Value::object();
        before[collection][id] = std::move(*copy);
        *copy = std::move(*after);
        Json::Value now = Json::Value::object();
        now[collection][id] = *copy;
        m_sink.print(before, now);
        return true;
    }

    // Learns the control ids of the bridge's buttons, once: a switch's event
    // names its button service, whose control id makes the older code.
    void read_controls() {
        m_controls_read = true;
        try {
            m_controls = Hue::V2::read_button_controls(m_client, m_user);
        } catch (const std::exception& e) {
            if (unauthorised(e)) throw;
            m_sink.warn(e.what());
        }
    }

    // Plans a read of `path` ("/lights/3"), unless one is planned already.
    void schedule(const std::string& path, Clock::time_point now) {
        if (m_due.count(path) != 0) return;
        if (m_due.size() >= kMostWaiting) {
            m_due.clear();
            m_resync_at = now;
            return;
        }
        m_due.emplace(path, now);
    }

    // Reads the resource waiting longest once the bridge's next turn has
    // come: the watch sends at most one read every 100 ms, whatever the
    // events name.
    void read_due(Clock::time_point now) {
        if (!m_last || m_due.empty() || now < m_next_read || m_sink.done()) return;
        const auto first =
            std::min_element(m_due.begin(), m_due.end(),
                             [](const auto& a, const auto& b) { return a.second < b.second; });
        const std::string path = first->first;
        m_due.erase(first);
        m_next_read = now + kReadSpacing;
        read_one(path);
    }

    // Reads one resource ("/lights/3") and prints how it differs from its copy.
    void read_one(const std::string& path) {
        const auto [collection, id] = split_path(path);
        Json::Value& copies = (*m_last)[collection];
        if (!copies.is_object()) copies = Json::Value::object();
        std::optional<Json::Value> now;
        try {
            now = Hue::read_json_strict(
                m_client.send(Http::Method::Get, collection + "/" + Hue::path_segment(id)));
        } catch (const Hue::BridgeError& e) {
            if (e.type() == Hue::kUnauthorisedUser) throw;
            if (e.type() != Hue::kResourceNotAvailable) return m_sink.warn(e.what());
        } catch (const std::exception& e) {
            return m_sink.warn(e.what());
        }
        Json::Value before = Json::Value::object();
        Json::Value after = Json::Value::object();
        before[collection] = Json::Value::object();
        after[collection] = Json::Value::object();
        if (const Json::Value* copy = Json::find(copies, id)) before[collection][id] = *copy;
        if (now) after[collection][id] = *now;
        m_sink.print(before, after);
        if (now) {
            copies[id] = std::move(*now);
        } else {
            copies.erase(id);
        }
    }

    Json::Value read_whole() { return watched_state(m_client.send(Http::Method::Get)); }

    // Reads the whole state once the stream is open, so that what changed
    // while it was not is printed; tries again later when the read fails.
    void resync(Clock::time_point now) {
        Json::Value whole;
        try {
            whole = read_whole();
        } catch (const std::exception& e) {
            if (!m_last || unauthorised(e)) throw;
            m_sink.warn(e.what());
            m_resync_at = now + kResyncRetry;
            return;
        }
        m_resync_at.reset();
        m_due.clear();
        if (m_last) m_sink.print(*m_last, whole);
        m_last = std::move(whole);
    }

    // Tells of a broken stream and plans the next attempt.
    void broke(const std::string& cause) {
        const auto now = Clock::now();
        if (m_opened_at && now - *m_opened_at >= m_steady) m_failures = 0;
        const auto delay = reconnect_delay(m_failures++);
        m_reconnect_at = now + delay;
        m_sink.warn(
            "event stream: " + cause + "; reconnecting" +
            (delay.count() == 0 ? std::string() : " in " + std::to_string(delay.count()) + " s") +
            ".");
    }

    Clock::time_point next_wake(Clock::time_point now) const {
        auto wake = std::min(now + kLongestPause, m_sink.deadline);
        if (m_resync_at) wake = std::min(wake, *m_resync_at);
        if (!m_due.empty()) wake = std::min(wake, std::max(now, m_next_read));
        if (!m_stream.is_open()) wake = std::min(wake, m_reconnect_at);
        return wake;
    }

    void wait_until(Clock::time_point wake) {
        if (!m_stream.is_open()) return std::this_thread::sleep_until(wake);
        if (m_io.stopped()) m_io.restart();
        m_io.run_one_until(wake);
    }

    const Hue::Client& m_client;
    const std::string m_user;
    const WatchSink& m_sink;
    const std::chrono::milliseconds m_steady;
    boost::asio::io_context m_io;
    Hue::EventStreamClient m_stream;               // on m_io: destroyed first
    std::optional<Http::Failure> m_failure;        // how the open stream ended, not yet dealt with
    int m_attempts = 0;                            // streams opened so far
    int m_failures = 0;                            // breaks since the stream last stayed open
    std::optional<Clock::time_point> m_opened_at;  // the open stream's 200 arrived
    Clock::time_point m_reconnect_at;
    std::optional<Clock::time_point> m_resync_at;    // the whole state is to be read
    std::optional<Json::Value> m_last;               // the copies, once read
    std::map<std::string, Clock::time_point> m_due;  // resources to read, and since when
    Clock::time_point m_next_read;                   // the earliest time of the next read
    Hue::V2::ButtonControls m_controls;              // the bridge's buttons, once read
    bool m_controls_read = false;
};

}  // namespace

std::chrono::seconds reconnect_delay(int failures) {
    if (failures <= 0) return std::chrono::seconds(0);
    if (failures > 5) return kLongestReconnectDelay;
    return std::min<std::chrono::seconds>(std::chrono::seconds(1 << (failures - 1)),
                                          kLongestReconnectDelay);
}

StreamWatch watch_event_stream(const Hue::Client& client, const std::string& user,
                               const WatchSink& sink, const StreamWatchTimes& times) {
    return StreamWatcher(client, user, sink, times).run();
}

}  // namespace Commands
