#ifndef GLOWRIG_DISCOVERY_SELECTION_HPP_
#define GLOWRIG_DISCOVERY_SELECTION_HPP_

#include <vector>

#include <boost/program_options/variables_map.hpp>
#include <pplx/pplxtasks.h>

#include "hue/bridge.hpp"

namespace discovery {

// Runs the portal discovery and the SSDP search side by side. The task yields
// the portal's bridges followed by the search's, nothing merged. When one
// source fails, the other's bridges are used; when both fail, the task fails
// with the portal's failure.
pplx::task<std::vector<Hue::Bridge>> find_bridges(const Hue::ClientConfig& client_config);

// Chooses the bridge a command talks to. A "bridge" option holding an IP
// address gives that bridge at once, without discovery. Otherwise discovery
// runs and the task yields the bridge whose id equals "bridge" exactly, or,
// without "bridge", the only bridge found (or the first of two found at one
// address). Fails with "No bridges found.", "Invalid bridge identifier." or,
// after printing the "Multiple bridges found" line, "Unable to identify bridge.".
pplx::task<Hue::Bridge> select_bridge(const boost::program_options::variables_map& options,
                                      const Hue::ClientConfig& client_config);

// The bridges command: finds every bridge and prints the table of them.
pplx::task<void> list_bridges(const Hue::ClientConfig& client_config);

}  // namespace discovery

#endif  // GLOWRIG_DISCOVERY_SELECTION_HPP_
