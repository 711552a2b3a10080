#include "discovery/upnp_bridges.hpp"

#include <string>

#include "discovery/upnp.hpp"

namespace UPnP {

std::vector<Hue::Bridge> upnp_bridges(std::vector<Device> devices) {
    std::vector<Hue::Bridge> bridges;
    for (const Device& device : devices) {
        if (!is_bridge(device)) continue;
        std::string host = presentation_host(device);
        if (host.empty()) continue;
        bridges.emplace_back(device.SerialNumber, std::move(host), std::string());
    }
    return bridges;
}

}  // namespace UPnP
