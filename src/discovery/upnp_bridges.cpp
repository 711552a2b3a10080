#include "discovery/upnp_bridges.hpp"

#include <string>

#include "discovery/upnp.hpp"
#include "hue/address.hpp"

namespace UPnP {

std::vector<Hue::Bridge> upnp_bridges(std::vector<Device> devices) {
    std::vector<Hue::Bridge> bridges;
    for (const Device& device : devices) {
        if (!is_bridge(device)) continue;
        std::string host = presentation_host(device);
        const unsigned short port = presentation_port(device);
        if (host.empty() || port == 0) continue;
        // An IPv6 host comes bracketed; a bridge keeps its address without brackets.
        if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
            host = host.substr(1, host.size() - 2);
        }
        // Only a numeric address is used: a host name is never resolved.
        const auto address = Hue::parse_bridge_address(Hue::address_text(host, port));
        if (!address) continue;
        bridges.emplace_back(device.SerialNumber, address->ip, std::string(), address->port);
    }
    return bridges;
}

}  // namespace UPnP
