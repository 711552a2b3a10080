#ifndef GLOWRIG_SIM_EVENT_STREAM_ROUTE_HPP_
#define GLOWRIG_SIM_EVENT_STREAM_ROUTE_HPP_

#include <atomic>
#include <functional>
#include <string>

#include "sim/sim_bridge.hpp"

namespace Sim {

// True for a request of a bridge's event stream: GET of /eventstream/clip/v2,
// its query aside.
bool is_event_stream_request(const std::string& method, const std::string& target);

// The reply to a stream request whose key names no user: 403, with the
// bridge's unauthorized-user error.
Reply event_stream_refusal();

// Serves the event stream of `bridge` through `write` (which returns false
// when the bytes could not be written): the reply's header, a comment, the
// events after `last_event_id` when the journal still holds it, then each new
// event as it comes, a heartbeat comment after each heartbeat() without one.
// Each event and each comment is one chunk of the chunked body. Returns when a
// write fails, when `stop` is set (and the journal woken), or when the
// bridge's streams are dropped; the body is left unfinished, for the caller to
// close the connection.
void serve_event_stream(SimBridge& bridge, const std::string& last_event_id,
                        const std::function<bool(const std::string&)>& write,
                        const std::atomic<bool>& stop);

}  // namespace Sim

#endif  // GLOWRIG_SIM_EVENT_STREAM_ROUTE_HPP_
