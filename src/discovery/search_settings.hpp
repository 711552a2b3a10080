#ifndef GLOWRIG_DISCOVERY_SEARCH_SETTINGS_HPP_
#define GLOWRIG_DISCOVERY_SEARCH_SETTINGS_HPP_

#include <string>

#include "discovery/mdns_finder.hpp"
#include "discovery/ssdp_finder.hpp"
#include "hue/client.hpp"

namespace Discovery {

// How discovery and every HTTP client behave in one run. A plain value,
// filled once by the entry and handed down; discovery reads nothing else.
struct Settings {
    Http::Options client;     // of every exchange with a bridge: the time-out, the authorities
    std::string portal;       // the discovery portal (see portal_endpoint); empty: none is asked
    UPnP::SsdpSettings ssdp;  // where the SSDP search goes and how long every search lasts
    MdnsSettings mdns;        // whether and where the mDNS search goes
};

}  // namespace Discovery

#endif  // GLOWRIG_DISCOVERY_SEARCH_SETTINGS_HPP_
