#ifndef GLOWRIG_COMMANDS_WATCH_STREAM_HPP_
#define GLOWRIG_COMMANDS_WATCH_STREAM_HPP_

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

#include "hue/client.hpp"
#include "hue/event_stream_client.hpp"
#include "json/value.hpp"

namespace Commands {

// What a source of changes needs of the watch that runs it.
struct WatchSink {
    // True once the watch is to end (a signal, --for, --count, the output gone).
    std::function<bool()> done;
    // When --for ends the watch; time_point::max() without it.
    std::chrono::steady_clock::time_point deadline;
    // Prints the changes between two copies of the whole state or of parts of
    // it ({"lights": {"3": ...}}), one flushed line each.
    std::function<void(const Json::Value& before, const Json::Value& after)> print;
    // Takes one line about a failure that does not end the watch.
    std::function<void(const std::string& line)> warn;
};

// The longest wait before a broken stream is opened again.
inline constexpr std::chrono::seconds kLongestReconnectDelay{30};

// The wait before the stream is opened again after `failures` breaks in a
// row: none after the first, then 1, 2, 4 ... seconds, at most
// kLongestReconnectDelay.
std::chrono::seconds reconnect_delay(int failures);

// The times a watch over the event stream goes by.
struct StreamWatchTimes {
    // A stream silent this long counts as broken and is opened anew.
    std::chrono::milliseconds silence = Hue::kEventStreamSilence;
    // A stream that stayed open this long worked: the waits before the
    // stream is opened again start afresh after it breaks.
    std::chrono::milliseconds steady = std::chrono::seconds(30);
};

// How watching over the event stream ended.
enum class StreamWatch {
    ended,      // the sink was done
    no_stream,  // the bridge answered the first request of the stream 404: poll it
};

// Watches the bridge of `client` (its base: /api/{user}) over its event
// stream, on a connection of its own, the user name `user` as the stream's
// key. Once the stream is open, the whole state is read: the starting copies.
// A light's or sensor's update is printed from the properties its event
// carries (see Hue::V2::older_item_after) without a read; the control ids of
// the bridge's buttons are read once, at the first button event that needs
// them. Each other resource an event names (one whose event tells too
// little, a group of the copies, or one an event adds) is read alone, at
// once, and its changes against its copy printed; the
// watch sends at most one such read every 100 ms, each resource read at most
// once for the events that came while it waited, the last event always read. A resource the bridge
// no longer has (error 3) is printed as removed. A read that fails is a line to sink.warn, unless
// the bridge no longer knows the user (error 1, or 403 to the stream): that throws Hue::BridgeError
// of type 1 and ends the watch. A stream silent for times.silence counts as broken. When the stream
// breaks, a line goes to sink.warn and it is opened again at once, then after 1, 2, 4 ... 30 s
// (afresh once a stream stayed open for times.steady), resuming after the last event; once it is
// open again the whole state is read and its changes printed, so that nothing is missed nor printed
// twice. Throws what Client::send throws when the first read of the whole state fails.
StreamWatch watch_event_stream(const Hue::Client& client, const std::string& user,
                               const WatchSink& sink, const StreamWatchTimes& times = {});

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_WATCH_STREAM_HPP_
