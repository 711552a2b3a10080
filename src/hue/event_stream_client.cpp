#include "hue/event_stream_client.hpp"

#include <utility>

#include "hue/bridge_error.hpp"

namespace Hue {

EventStreamClient::EventStreamClient(boost::asio::io_context& io, const Client& client,
                                     const std::string& user, std::chrono::milliseconds silence)
    : m_io(io), m_at(client.base()), m_options(client.options()), m_user(user), m_silence(silence) {
    m_at.target = kEventStreamPath;
}

EventStreamClient::~EventStreamClient() { close(); }

void EventStreamClient::open(EventStreamHandlers handlers) {
    Http::Options options = m_options;
    options.fields = {{"hue-application-key", m_user}, {"Accept", "text/event-stream"}};
    if (!m_reader.last_event_id().empty()) {
        options.fields.emplace_back("Last-Event-ID", m_reader.last_event_id());
    }
    m_reader.restart();
    m_handlers = std::move(handlers);
    Http::StreamHandlers stream;
    stream.opened = [this] {
        if (m_handlers.opened) m_handlers.opened();
    };
    stream.bytes = [this](std::string_view bytes) { take(bytes); };
    stream.ended = [this](Http::Failure failure) {
        m_stop = nullptr;
        m_handlers.ended(std::move(failure));
    };
    m_stop = Http::open_stream(m_io, m_at, options, m_silence, std::move(stream));
}

void EventStreamClient::close() {
    if (!m_stop) return;
    auto stop = std::move(m_stop);
    m_stop = nullptr;
    stop();
}

// Hands over each resource the events completed by `bytes` name; a body
// past the reader's bounds ends the stream.
void EventStreamClient::take(std::string_view bytes) {
    Http::EventBatch batch = m_reader.feed(bytes);
    for (const Http::StreamEvent& event : batch.events) {
        for (const EventChange& change : read_event_changes(event.data).changes) {
            m_handlers.changed(change);
        }
    }
    if (batch.error) {
        close();
        m_handlers.ended(Http::Failure(Http::FailureKind::body, "Error: " + *batch.error + "."));
    }
}

bool lacks_event_stream(const Http::Failure& failure) { return failure.status() == 404; }

void throw_if_user_refused(const Http::Failure& failure) {
    if (failure.status() == 403) {
        throw BridgeError(failure.what(), kUnauthorisedUser, kEventStreamPath);
    }
}

}  // namespace Hue
