#ifndef GLOWRIG_DISCOVERY_UPNP_BRIDGES_HPP_
#define GLOWRIG_DISCOVERY_UPNP_BRIDGES_HPP_

#include <vector>

#include "discovery/device.hpp"
#include "hue/bridge.hpp"

namespace UPnP {

// Returns a bridge for every device that is_bridge() accepts, in list order,
// with the device's SerialNumber as id, the host of its PresentationURL as
// ip (an IPv6 host without its brackets), that URL's port (80 when it names
// none) as port and an empty mac. A device reported twice gives two bridges.
// Devices whose presentation URL has no host, a host that is not a numeric
// IP address (a name is never resolved) or a port outside 1..65535 are
// skipped.
// Throws std::invalid_argument when a bridge's PresentationURL is not a URI
// reference (presentation_host).
std::vector<Hue::Bridge> upnp_bridges(std::vector<Device> devices);

}  // namespace UPnP

#endif  // GLOWRIG_DISCOVERY_UPNP_BRIDGES_HPP_
