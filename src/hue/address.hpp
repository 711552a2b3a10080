#ifndef GLOWRIG_HUE_ADDRESS_HPP_
#define GLOWRIG_HUE_ADDRESS_HPP_

#include <optional>
#include <string>

#include "http/endpoint.hpp"

namespace Hue {

// The port of a bridge's REST interface when its address names none.
constexpr unsigned short kDefaultPort = 80;

// How a bridge's REST interface is reached: plain HTTP or HTTP over TLS.
using Scheme = Http::Scheme;

// Where the user says a bridge answers, as --bridge and GLOWRIG_BRIDGE take it
// (see Http::read_endpoint):
//   https://IP[:PORT]     HTTPS, port 443 unless given (IPv6 in brackets)
//   http://IP[:PORT]      plain HTTP, port 80 unless given
//   IP:PORT, [IPv6]:PORT  plain HTTP on that port
//   IP                    HTTPS on 443, `bare`
// Host names are refused: a name is never resolved.
constexpr Http::EndpointForms kBridgeLocation{
    .urls = true, .host_port = true, .bare = Http::BareAddress::https_first};

// Where a bridge answers as a search gives it: "IP" (plain HTTP on 80),
// "IP:PORT" or "[IPv6]:PORT"; host names are refused.
constexpr Http::EndpointForms kBridgeAddress{.host_port = true,
                                             .bare = Http::BareAddress::plain_http};

// True when `text` is a bridge id: 16 hexadecimal digits, in any case.
bool is_bridge_id(const std::string& text);

// A bridge as --bridge and GLOWRIG_BRIDGE name it: where it answers, or its id.
struct BridgeName {
    std::optional<Http::Endpoint> location;  // named by address (kBridgeLocation)
    std::string id;                          // else named by id, as written
};

// Reads `text` as --bridge and GLOWRIG_BRIDGE take it: a location of the
// kBridgeLocation forms, or a bridge id. nullopt for anything else.
std::optional<BridgeName> read_bridge_name(const std::string& text);

// Returns the bridge at `endpoint` as the bridges table and the lines about a
// bridge name it, in a form --bridge reaches it by (kBridgeLocation): the ip
// alone for plain HTTP on 80 (HTTPS on 443 is tried first, then plain HTTP),
// else as Http::location_text writes it ("https://ip[:port]", "ip:port").
std::string bridge_text(const Http::Endpoint& endpoint);

}  // namespace Hue

#endif  // GLOWRIG_HUE_ADDRESS_HPP_
