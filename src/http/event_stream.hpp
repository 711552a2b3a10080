#ifndef GLOWRIG_HTTP_EVENT_STREAM_HPP_
#define GLOWRIG_HTTP_EVENT_STREAM_HPP_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Http {

// The most bytes one line of an event stream may have, its line end not
// counted: the same bound as a reply's header.
inline constexpr std::size_t kEventLineLimit = 64 * 1024;

// The most bytes of data one event may gather over its `data:` lines, the
// newlines that join them counted.
inline constexpr std::size_t kEventDataLimit = 1024 * 1024;

// One event of a `text/event-stream` body.
struct StreamEvent {
    std::string id;    // the last event id when the event was dispatched (kept across events)
    std::string type;  // the `event:` field, "message" when the event had none
    std::string data;  // the `data:` fields joined with "\n"
};

// What one call of EventStreamReader::feed() brought.
struct EventBatch {
    std::vector<StreamEvent> events;  // the events completed, in stream order
    std::size_t heartbeats = 0;       // comment lines (':' first) read
    // Set when the stream failed (a line or an event's data over its limit):
    // the text says why. The events completed before the failure are in
    // `events`; nothing after it is read.
    std::optional<std::string> error;
};

// Reads a `text/event-stream` body incrementally: bytes are fed as they
// arrive, split anywhere (inside a field, inside a line end). Lines end with
// CR, LF or CRLF; a UTF-8 byte order mark at the start is skipped; an empty
// line dispatches the event gathered so far, an event without data lines is
// not dispatched (its `id:` still counts). Fields:
//   data:  appended to the event's data, lines joined with "\n";
//   id:    sets the last event id, unless the value holds a NUL byte; it
//          stays for the events after, and is what a reconnect sends;
//   event: the event's type;
//   any other field (`retry:` too: the caller's own back-off decides), and
//   comments, carry nothing.
// One space after a field's ':' is dropped. Bytes are kept as they come (no
// UTF-8 check): the reader of the data checks them. Memory stays within the
// two limits, a line over kEventLineLimit or data over kEventDataLimit failing
// the stream. Not thread-safe; one reader per connection.
class EventStreamReader {
public:
    explicit EventStreamReader(std::size_t line_limit = kEventLineLimit,
                               std::size_t data_limit = kEventDataLimit);

    // Reads `bytes`, the next part of the body. Once the stream failed, every
    // call returns the same error and reads nothing.
    EventBatch feed(std::string_view bytes);

    // Starts a new body, as after a reconnect: drops the partial line and
    // event and the failure, keeps the last event id.
    void restart();

    // The id of the last `id:` field read (empty when none): the value of
    // Last-Event-ID on a reconnect.
    const std::string& last_event_id() const { return m_last_id; }

private:
    void take_line(std::string_view line, EventBatch& batch);
    void dispatch(EventBatch& batch);
    void fail(std::string text, EventBatch& batch);

    std::size_t m_line_limit;
    std::size_t m_data_limit;
    std::string m_line;          // the partial line of the last feed
    bool m_after_cr = false;     // the last byte read ended a line with CR: an LF next is its part
    std::size_t m_bom_read = 0;  // bytes of the byte order mark seen at the start
    bool m_at_start = true;      // no byte past a byte order mark read yet
    std::string m_data;
    bool m_has_data = false;  // a data field was read for the current event
    std::string m_type;
    std::string m_last_id;
    std::optional<std::string> m_error;
};

}  // namespace Http

#endif  // GLOWRIG_HTTP_EVENT_STREAM_HPP_
