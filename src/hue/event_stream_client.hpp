#ifndef GLOWRIG_HUE_EVENT_STREAM_CLIENT_HPP_
#define GLOWRIG_HUE_EVENT_STREAM_CLIENT_HPP_

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "http/endpoint.hpp"
#include "http/event_stream.hpp"
#include "http/exchange.hpp"
#include "hue/client.hpp"
#include "hue/event_changes.hpp"

namespace boost {
namespace asio {
class io_context;
}
}  // namespace boost

namespace Hue {

// The path of a bridge's event stream.
inline constexpr const char* kEventStreamPath = "/eventstream/clip/v2";

// How long an event stream may stay silent (no event, no heartbeat) before it
// counts as broken.
inline constexpr std::chrono::seconds kEventStreamSilence{90};

// What an open event stream hands its owner, on the thread running its
// io_context.
struct EventStreamHandlers {
    std::function<void()> opened;                     // the bridge accepted the stream
    std::function<void(const EventChange&)> changed;  // each resource an event names, in order
    std::function<void(Http::Failure)> ended;         // once: why the stream ended
};

// The event stream of one bridge for one user, opened again as often as its
// owner asks, on one io_context. Each opening sends the user name as the
// stream's key and, once an event had an id, the last id read as
// Last-Event-ID, so that the bridge resumes after it. Not thread-safe.
class EventStreamClient {
public:
    // The stream of the bridge `client` reaches, with the client's time-out
    // and certificate check; nothing is sent before open().
    EventStreamClient(boost::asio::io_context& io, const Client& client, const std::string& user,
                      std::chrono::milliseconds silence = kEventStreamSilence);
    ~EventStreamClient();

    EventStreamClient(const EventStreamClient&) = delete;
    EventStreamClient& operator=(const EventStreamClient&) = delete;

    // Opens the stream anew and calls `handlers` until it ends or close() is
    // called. It ends as Http::open_stream says (silent for the silence given
    // above among them), and when its body breaks the bounds of the event
    // stream's reader, with "Error: <why>.". REQUIRES: !is_open().
    void open(EventStreamHandlers handlers);

    // Closes the open stream without calling its handlers again; nothing
    // when none is open. A handler may call it.
    void close();

    // True from open() until the stream ended or was closed.
    bool is_open() const { return static_cast<bool>(m_stop); }

private:
    void take(std::string_view bytes);

    boost::asio::io_context& m_io;
    Http::Endpoint m_at;
    Http::Options m_options;
    std::string m_user;
    std::chrono::milliseconds m_silence;
    Http::EventStreamReader m_reader;
    EventStreamHandlers m_handlers;
    std::function<void()> m_stop;  // closes the open stream; null when none is open
};

// True when `failure` ended a stream that the bridge does not serve (404).
bool lacks_event_stream(const Http::Failure& failure);

// Throws BridgeError of type kUnauthorisedUser (the failure's text, the
// stream's path) when `failure` says the bridge refused the user as the
// stream's key (403): no later opening can succeed. Returns otherwise.
void throw_if_user_refused(const Http::Failure& failure);

}  // namespace Hue

#endif  // GLOWRIG_HUE_EVENT_STREAM_CLIENT_HPP_
