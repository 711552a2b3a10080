#ifndef GLOWRIG_DISCOVERY_BRIDGE_MERGE_HPP_
#define GLOWRIG_DISCOVERY_BRIDGE_MERGE_HPP_

#include <string>
#include <vector>

#include "hue/bridge.hpp"

namespace Discovery {

// One bridge as one discovery source reported it.
struct Sighting {
    Hue::Bridge bridge;
    bool on_lan = false;  // seen on the local network (mDNS, SSDP), not told by the portal
};

// True when `a` and `b` are the same bridge id: equal but for the case of ASCII letters.
bool same_bridge_id(const std::string& a, const std::string& b);

// One bridge per id: the sightings whose ids are the same (same_bridge_id)
// become one bridge, at the address of the sighting seen on the local network
// rather than told by the portal, else reached through HTTPS rather than plain
// HTTP, else the first; it keeps that sighting's id and the first MAC address
// any of them gave. Sightings without an id stay apart. The result is ordered
// by id (case aside), then address and port, so it does not depend on which
// source answered first.
std::vector<Hue::Bridge> merge_bridges(const std::vector<Sighting>& sightings);

}  // namespace Discovery

#endif  // GLOWRIG_DISCOVERY_BRIDGE_MERGE_HPP_
