#ifndef GLOWRIG_DISCOVERY_SETTINGS_HPP_
#define GLOWRIG_DISCOVERY_SETTINGS_HPP_

#include <string>

#include "discovery/ssdp_finder.hpp"
#include "hue/client.hpp"

namespace discovery {

// The portal host used when none is set. It names no real service: the
// portal the bridges of a network report to has to be set.
inline constexpr const char* kPortalHost = "portal.glowrig.invalid";

// How discovery and every HTTP client behave in one run. A plain value,
// filled once by the entry and handed down; discovery reads nothing else.
struct Settings {
    Hue::ClientConfig client;          // the proxy setting and the request time-out
    std::string portal = kPortalHost;  // host[:port] of the discovery portal
    UPnP::SsdpSettings ssdp;           // where the SSDP search goes and for how long
};

}  // namespace discovery

#endif  // GLOWRIG_DISCOVERY_SETTINGS_HPP_
