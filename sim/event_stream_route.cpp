#include "sim/event_stream_route.hpp"

#include <cstdint>
#include <cstdio>

#include "sim/routes.hpp"

namespace Sim {
namespace {

constexpr const char* kPath = "/eventstream/clip/v2";

constexpr const char* kHeader =
    "HTTP/1.1 200 OK\r\nContent-Type: text/event-stream\r\nCache-Control: no-cache\r\n"
    "Transfer-Encoding: chunked\r\n\r\n";

// `payload` as one chunk of a chunked body.
std::string chunk(const std::string& payload) {
    char size[20];
    std::snprintf(size, sizeof size, "%zx\r\n", payload.size());
    return size + payload + "\r\n";
}

// Counts the stream among the bridge's open ones while it lives.
class OpenStream {
public:
    explicit OpenStream(SimBridge& bridge) : m_bridge(bridge) { m_bridge.stream_started(); }
    ~OpenStream() { m_bridge.stream_ended(); }
    OpenStream(const OpenStream&) = delete;
    OpenStream& operator=(const OpenStream&) = delete;

private:
    SimBridge& m_bridge;
};

}  // namespace

bool is_event_stream_request(const std::string& method, const std::string& target) {
    return method == "GET" && target.substr(0, target.find('?')) == kPath;
}

Reply event_stream_refusal() {
    Reply reply = error_reply(kUnauthorized, kPath, "unauthorized user");
    reply.status = 403;
    reply.reason = "Forbidden";
    return reply;
}

void serve_event_stream(SimBridge& bridge, const std::string& last_event_id,
                        const std::function<bool(const std::string&)>& write,
                        const std::atomic<bool>& stop) {
    EventJournal& journal = bridge.journal();
    // Taken before the stream counts as open: a change made once a watcher
    // sees it open is sent.
    const std::uint64_t drops = journal.drops();
    std::uint64_t next = journal.end();
    if (!last_event_id.empty()) next = journal.after(last_event_id).value_or(next);
    const OpenStream open(bridge);
    if (!write(kHeader + chunk(": hi\n\n"))) return;
    for (;;) {
        const JournalWait waited = journal.wait(next, drops, bridge.heartbeat(), stop);
        if (waited.ended) return;
        std::string text;
        for (const JournalEvent& event : waited.events) {
            text += chunk("id: " + event.id + "\ndata: " + event.data + "\n\n");
            next = event.number + 1;
        }
        if (text.empty()) text = chunk(": heartbeat\n\n");
        if (!write(text)) return;
    }
}

}  // namespace Sim
