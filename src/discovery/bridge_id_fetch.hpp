#ifndef GLOWRIG_DISCOVERY_BRIDGE_ID_FETCH_HPP_
#define GLOWRIG_DISCOVERY_BRIDGE_ID_FETCH_HPP_

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace boost {
namespace asio {
class io_context;
}
}  // namespace boost

namespace Discovery {

// The most bytes of a configuration read for its bridge id.
inline constexpr std::size_t kConfigCap = 64 * 1024;

// Reads the configuration a bridge gives without a user name (GET /api/config
// at the numeric address `ip` and `port`, over TLS when `https`; the
// certificate is not checked here, the command that uses the bridge checks it
// against the id) and calls `done`
// exactly once, on the thread running `io`, with its text "bridgeid", or with
// "" when the fetch failed, took longer than `timeout`, was cancelled, or the
// reply is not a JSON object with a non-empty text "bridgeid". Returns an
// operation that cancels the fetch; call it only on the thread running `io`.
std::function<void()> fetch_bridge_id(boost::asio::io_context& io, const std::string& ip,
                                      unsigned short port, bool https,
                                      std::chrono::milliseconds timeout,
                                      std::function<void(std::string)> done);

}  // namespace Discovery

#endif  // GLOWRIG_DISCOVERY_BRIDGE_ID_FETCH_HPP_
