#ifndef GLOWRIG_COMMANDS_BRIDGE_SELECTION_HPP_
#define GLOWRIG_COMMANDS_BRIDGE_SELECTION_HPP_

#include <memory>

#include <boost/program_options/variables_map.hpp>

#include "commands/command.hpp"
#include "hue/app_identity.hpp"
#include "hue/bridge.hpp"

namespace commands {

// Chooses the bridge named by the option "bridge" (without it, by
// settings.default_bridge; without both, the only one found) as
// discovery::select_bridge does. When several bridges were found
// and none was named, prints the line that asks for --bridge before the
// failure reaches the caller.
Hue::Bridge selected_bridge(const boost::program_options::variables_map& options,
                            const Settings& settings);

// A bridge and the identity under which to talk to it.
struct Target {
    Hue::Bridge bridge;
    AppIdentity identity;
};

// The bridge the option "bridge" (or settings.default_bridge) names, as an
// address (see Hue::parse_bridge_location) or as an id selected_bridge looks
// for, and the identity for it. A bridge remembered in the credentials file
// (the one of that id, or without a name the only entry with an id) is first
// contacted at its address, within about a second: when it proves to be the
// same bridge (pin or CN over HTTPS, its configuration's id over plain HTTP)
// nothing is searched; otherwise selected_bridge searches, and a remembered
// bridge found at a new address where it proves itself has its entry moved
// there. The identity is `computed` with the user id replaced by the
// user name stored for that bridge in the credentials file, when there is one.
// A bridge with a pin in the file is reached over HTTPS only, and must show
// the pinned certificate, unless the options ask for "auth" (which pins
// anew). Over HTTPS the certificate's CN must be the bridge's id in lower case;
// when the id is not known yet, it is read from the bridge's configuration
// first, without a user name. A bare address means HTTPS on 443, or plain HTTP
// on 80 when 443 refuses connections and the bridge is not pinned. Throws
// std::runtime_error naming the file when it cannot be read, and with one line
// naming the bridge when its certificate does not match. Over TLS, `shown`
// (when given) receives the certificate the bridge shows, request by request.
Target select_target(const boost::program_options::variables_map& options, const Settings& settings,
                     const AppIdentity& computed,
                     std::shared_ptr<Http::Certificate>* shown = nullptr);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_BRIDGE_SELECTION_HPP_
