#ifndef GLOWRIG_DISCOVERY_MDNS_FINDER_HPP_
#define GLOWRIG_DISCOVERY_MDNS_FINDER_HPP_

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "discovery/mdns_message.hpp"
#include "hue/bridge.hpp"

namespace boost {
namespace asio {
class io_context;
}
}  // namespace boost

namespace Discovery {

// Whether and where an mDNS search asks.
struct MdnsSettings {
    bool enabled = true;
    // The numeric address of the one responder to ask; empty: the multicast
    // groups, on every interface that is up and can send multicast.
    std::string address;
    unsigned short port = kMdnsPort;
    // How long reading the configuration of a bridge whose answer names no id may take.
    std::chrono::milliseconds config_timeout{3000};
    std::size_t max_bridges = 64;  // services read per search
};

// Searches, on `io`, for bridges with one-shot multicast DNS queries for the
// PTR records of kBridgeService: sends the query twice, about 100 ms apart,
// from an ephemeral port (to the multicast groups of IPv4 and, where an interface has
// an IPv6 address, IPv6, on each interface; or to the configured address),
// and reads the answers sent back to that port during `window`. Answers are
// taken only from the port asked, from the configured address or, for the
// multicast groups, from an address on the link of the interface they came
// in on. Each service that resolves (see MdnsAnswers::services) gives a bridge
// with its "bridgeid", address, port and no MAC address, reached through
// HTTPS unless its port is 80; a service whose answer names no id is read with
// fetch_bridge_id and left out when that gives none. Calls `done` once, on
// the thread running `io`, with the bridges in the order their answers came,
// at the latest config_timeout after the window has closed. Throws
// SearchFailure (a std::system_error), and calls nothing, when no query could
// be sent: every send failed, or no interface but the loopback can send
// multicast.
void find_mdns_bridges(boost::asio::io_context& io, const MdnsSettings& settings,
                       std::chrono::milliseconds window,
                       std::function<void(std::vector<Hue::Bridge>)> done);

}  // namespace Discovery

#endif  // GLOWRIG_DISCOVERY_MDNS_FINDER_HPP_
