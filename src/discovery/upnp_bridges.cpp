#include "discovery/upnp_bridges.hpp"

#include <string>

#include "discovery/upnp.hpp"
#include "hue/address.hpp"

namespace UPnP {

std::vector<Hue::Bridge> upnp_bridges(std::vector<Device> devices) {
    std::vector<Hue::Bridge> bridges;
    for (const Device& device : devices) {
        if (!is_bridge(device)) continue;
        const std::string host = presentation_host(device);
        const unsigned short port = presentation_port(device);
        if (host.empty() || port == 0) continue;
        // Only a numeric address is used (an IPv6 one comes bracketed): a
        // host name is never resolved.
        const auto address =
            Http::read_endpoint(host + ":" + std::to_string(port), Hue::kBridgeAddress);
        if (!address) continue;
        bridges.emplace_back(device.SerialNumber, *address);
    }
    return bridges;
}

}  // namespace UPnP
