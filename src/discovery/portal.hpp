#ifndef GLOWRIG_DISCOVERY_PORTAL_HPP_
#define GLOWRIG_DISCOVERY_PORTAL_HPP_

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "discovery/search_settings.hpp"
#include "http/endpoint.hpp"
#include "hue/bridge.hpp"

namespace boost {
namespace asio {
class io_context;
}
}  // namespace boost

namespace Discovery {

// The forms GLOWRIG_PORTAL takes (see Http::read_endpoint): an http or https
// URL, its host numeric or a host name, with a path; or host[:port], the host
// an IPv4 address, an IPv6 address (in brackets with a port) or a host name
// (never resolved in this form), plain HTTP.
constexpr Http::EndpointForms kPortal{.urls = true,
                                      .names = true,
                                      .paths = true,
                                      .host_port = true,
                                      .bare = Http::BareAddress::plain_http};

// Where the discovery portal named by `portal` (of the kPortal forms) is
// asked: host[:port] means http://{host[:port]}/api/nupnp; a URL is fetched as
// given ("/" when it has no path), the endpoint by_name. nullopt when
// `portal` is neither.
std::optional<Http::Endpoint> portal_endpoint(const std::string& portal);

// Receives the bridges the portal listed, or the failure of asking it (then
// `failure` is not null and `bridges` empty).
using PortalHandler =
    std::function<void(std::vector<Hue::Bridge> bridges, std::exception_ptr failure)>;

// Asks the discovery portal `settings.portal` for the bridges it knows, on
// `io`, and calls `done` once, on the thread running `io`. The bridges are one
// per element of the reply array, in order ("id" and "macaddress" used as they
// are, no "macaddress" giving an empty one; "internalipaddress" read by
// the Hue::kBridgeAddress forms, so it may carry a port; a number "port", 1 to
// 65535, replaces that port, 443 meaning HTTPS; an element whose address or
// port cannot be read, a host name say, is left out); none for an empty array
// or a reply that is not an array. The request ends at most a second after
// the search window, or at the request time-out if that is sooner. It fails
// on a network failure, a time-out, a status other than 200, a body that is
// not JSON, an error element, an element missing "id" or "internalipaddress",
// and a member of the three that is not a string. Throws
// std::invalid_argument, and calls nothing, when `settings.portal` names no
// portal (portal_endpoint).
void find_portal_bridges(boost::asio::io_context& io, const Settings& settings, PortalHandler done);

}  // namespace Discovery

#endif  // GLOWRIG_DISCOVERY_PORTAL_HPP_
