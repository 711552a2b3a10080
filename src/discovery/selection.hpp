#ifndef GLOWRIG_DISCOVERY_SELECTION_HPP_
#define GLOWRIG_DISCOVERY_SELECTION_HPP_

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <pplx/pplxtasks.h>

#include "discovery/settings.hpp"
#include "hue/bridge.hpp"

namespace Discovery {

// Runs the discovery sources side by side in one search window: the portal
// (when settings.portal names one), the SSDP search and the mDNS search (unless
// settings.mdns leaves it out). The task yields one bridge per bridge id, as
// merge_bridges joins them. A failing source is dropped; only when every
// source asked failed does the task fail, with the failure of the first in the
// order portal, SSDP, mDNS.
pplx::task<std::vector<Hue::Bridge>> find_bridges(const Settings& settings);

// The failure of a selection that found several bridges and was not told
// which one to use. what() is "Unable to identify bridge.".
class AmbiguousBridge : public std::runtime_error {
public:
    AmbiguousBridge();
};

// Chooses the bridge a command talks to. A `wanted` text holding an IP
// address gives that bridge at once, without discovery. Otherwise discovery
// runs and the task yields the bridge whose id is `wanted` (same_bridge_id:
// case aside), or, without `wanted`, the only bridge found (or the first of
// two found at one address). Fails with "No bridges found.", "Invalid bridge identifier." or
// AmbiguousBridge. Prints nothing.
pplx::task<Hue::Bridge> select_bridge(const std::optional<std::string>& wanted,
                                      const Settings& settings);

}  // namespace Discovery

#endif  // GLOWRIG_DISCOVERY_SELECTION_HPP_
