#ifndef GLOWRIG_DISCOVERY_SELECTION_HPP_
#define GLOWRIG_DISCOVERY_SELECTION_HPP_

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "discovery/search_settings.hpp"
#include "hue/bridge.hpp"

namespace Discovery {

// Runs the discovery sources side by side in one search window, on one
// io_context in the calling thread: the portal (when settings.portal names
// one), the SSDP search and the mDNS search (unless settings.mdns leaves it
// out). Returns one bridge per bridge id, as merge_bridges joins them, once
// every source has ended. A failing source is dropped; only when every source
// asked failed does it throw, the failure of the first in the order portal,
// SSDP, mDNS. While the sources run, `tick` (when given) is called about
// every 200 ms on the calling thread, for a countdown.
std::vector<Hue::Bridge> find_bridges(const Settings& settings,
                                      const std::function<void()>& tick = nullptr);

// The failure of a selection that found several bridges and was not told
// which one to use. what() is "Unable to identify bridge.".
class AmbiguousBridge : public std::runtime_error {
public:
    explicit AmbiguousBridge(std::vector<Hue::Bridge> found);

    // The bridges found, in the order of find_bridges.
    const std::vector<Hue::Bridge>& found() const { return m_found; }

private:
    std::vector<Hue::Bridge> m_found;
};

// Chooses the bridge a command talks to: discovery runs and returns the
// bridge whose id is `wanted` (same_bridge_id: case aside), or, without
// `wanted`, the only bridge found (or the first of two
// found at one address). Throws discovery's failure, "No bridges found.",
// "Invalid bridge identifier." or AmbiguousBridge. Prints nothing; `tick` as
// for find_bridges.
Hue::Bridge select_bridge(const std::optional<std::string>& wanted, const Settings& settings,
                          const std::function<void()>& tick = nullptr);

}  // namespace Discovery

#endif  // GLOWRIG_DISCOVERY_SELECTION_HPP_
