#ifndef GLOWRIG_DISCOVERY_PORTAL_HPP_
#define GLOWRIG_DISCOVERY_PORTAL_HPP_

#include <vector>

#include <pplx/pplxtasks.h>

#include "hue/bridge.hpp"

namespace discovery {

// The discovery portal's address: http://{host}/api/nupnp, where host is the
// built-in portal host, or the value of GLOWRIG_PORTAL (host[:port]) when set.
web::uri portal_url();

// Asks the discovery portal for the bridges it knows. The task yields one
// bridge per element of the reply array, in order ("id" and "macaddress" used
// as they are; "internalipaddress" read by Hue::parse_bridge_address, so it
// may carry a port, and used as it is when that does not read it), and an
// empty list for an empty array or
// a reply that is not an array. It fails on a network failure, a status other
// than 200, a body that is not JSON, an error element, and an element missing
// one of the three strings.
pplx::task<std::vector<Hue::Bridge>> find_portal_bridges(const Hue::ClientConfig& client_config);

}  // namespace discovery

#endif  // GLOWRIG_DISCOVERY_PORTAL_HPP_
