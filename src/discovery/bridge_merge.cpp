#include "discovery/bridge_merge.hpp"

#include <algorithm>
#include <tuple>

#include "util/text.hpp"

namespace Discovery {
namespace {

// How much an address is to be trusted: one seen on the local network is
// current, the portal's may be stale; HTTPS is better than plain HTTP.
int rank(const Sighting& sighting) {
    return (sighting.on_lan ? 2 : 0) +
           (sighting.bridge.endpoint().scheme == Hue::Scheme::Https ? 1 : 0);
}

}  // namespace

bool same_bridge_id(const std::string& a, const std::string& b) {
    return Util::lower_case(a) == Util::lower_case(b);
}

std::vector<Hue::Bridge> merge_bridges(const std::vector<Sighting>& sightings) {
    std::vector<Hue::Bridge> bridges;
    std::vector<bool> taken(sightings.size(), false);
    for (std::size_t i = 0; i < sightings.size(); ++i) {
        if (taken[i]) continue;
        const std::string id = sightings[i].bridge.id();
        std::size_t best = i;
        std::string mac = sightings[i].bridge.mac();
        for (std::size_t j = i + 1; j < sightings.size() && !id.empty(); ++j) {
            if (taken[j] || !same_bridge_id(id, sightings[j].bridge.id())) continue;
            taken[j] = true;
            if (rank(sightings[j]) > rank(sightings[best])) best = j;
            if (mac.empty()) mac = sightings[j].bridge.mac();
        }
        const Hue::Bridge& chosen = sightings[best].bridge;
        bridges.emplace_back(chosen.id(), chosen.endpoint(), mac);
    }
    std::stable_sort(
        bridges.begin(), bridges.end(), [](const Hue::Bridge& a, const Hue::Bridge& b) {
            return std::make_tuple(Util::lower_case(a.id()), a.endpoint().host, a.endpoint().port) <
                   std::make_tuple(Util::lower_case(b.id()), b.endpoint().host, b.endpoint().port);
        });
    return bridges;
}

}  // namespace Discovery
