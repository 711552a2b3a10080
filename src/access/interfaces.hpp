#ifndef GLOWRIG_ACCESS_INTERFACES_HPP_
#define GLOWRIG_ACCESS_INTERFACES_HPP_

#include <optional>

#include "access/bridge_selection.hpp"
#include "http/exchange.hpp"
#include "hue/v2/resources.hpp"

namespace Access {

// Finds out whether the bridge of `target` has the newer interface for the
// user name `user_id` (Hue::V2::has_newer_interface) and keeps the answer in
// its credentials entry, so that later runs need not ask. Over plain HTTP
// nothing is asked nor kept; a bridge that cannot tell now (it cannot be
// reached, it is busy) leaves the entry as it was.
void learn_interfaces(const Target& target, const std::string& user_id,
                      const Http::Options& options);

// The newer interface's resources of the bridge of `target`, read in one
// request, when its credentials entry says it has that interface; nullopt
// when it does not say so, or when the bridge answers 404, which clears what
// the entry says. Throws what Hue::V2::ResourceIndex::read throws otherwise.
std::optional<Hue::V2::ResourceIndex> newer_resources(const Target& target,
                                                      const Http::Options& options);

}  // namespace Access

#endif  // GLOWRIG_ACCESS_INTERFACES_HPP_
