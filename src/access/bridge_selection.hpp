#ifndef GLOWRIG_ACCESS_BRIDGE_SELECTION_HPP_
#define GLOWRIG_ACCESS_BRIDGE_SELECTION_HPP_

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "access/credentials_file.hpp"
#include "access/settings.hpp"
#include "hue/address.hpp"
#include "hue/app_identity.hpp"
#include "hue/bridge.hpp"

namespace Access {

// What choosing a bridge tells while it runs, for the caller to show. Every
// call comes on the choosing thread. The defaults show nothing.
class Progress {
public:
    virtual ~Progress() = default;

    // A search for bridges starts that lasts about `window`; tick() follows
    // about every 200 ms until search_ended(), which comes however the search
    // ends.
    virtual void search_started(std::chrono::milliseconds window);
    virtual void tick();
    virtual void search_ended();

    // The search found several bridges, `found`, and none was named: the
    // choice fails (Discovery::AmbiguousBridge) right after.
    virtual void several_found(const std::vector<Hue::Bridge>& found);
};

// Chooses the bridge named by `wanted` (without it, by
// settings.default_bridge; without both, the only one found) as
// Discovery::select_bridge does, telling `progress` of the search.
Hue::Bridge selected_bridge(const std::optional<std::string>& wanted, const Settings& settings,
                            Progress& progress);

// Whether the certificate a pinned bridge shows is checked against its pin,
// or pinned anew ("config --auth").
enum class PinPolicy { check, anew };

// A bridge and the identities under which to talk to it.
struct Target {
    Hue::Bridge bridge;
    AppIdentity identity;  // `computed`, with the user name stored for the bridge
    AppIdentity computed;  // the one this computer computes: "config --auth" asks for it
    // Over TLS, the certificate the bridge shows, request by request; else null.
    std::shared_ptr<Http::Certificate> shown;
    // The run's credentials file, read once; never null.
    std::shared_ptr<const CredentialsFile> credentials;
};

// The bridge `named` (or settings.default_bridge) names, as an address (see
// Hue::kBridgeLocation) or as an id selected_bridge looks for, and the
// identity for it. A bridge remembered in the credentials file (the one of
// that id, or without a name the only entry with an id) is first contacted at
// its address, within about a second: when it proves to be the same bridge
// (pin or CN over HTTPS, its configuration's id over plain HTTP) nothing is
// searched; otherwise selected_bridge searches, and a remembered bridge found
// at a new address where it proves itself has its entry moved there. A
// pinned bridge found at a new address is reached over HTTPS (on the port it
// was announced on over HTTPS, else the remembered one) and only when it
// shows the pinned certificate there, even for PinPolicy::anew; its entry
// keeps its pin. Otherwise this throws std::runtime_error naming the bridge.
// The identity is `computed` with the user id replaced by the user name
// stored for that bridge in the credentials file, when there is one. A bridge
// with a pin in the file is reached over HTTPS only, and must show the pinned
// certificate, unless PinPolicy::anew. Over HTTPS the certificate's CN must
// be the bridge's id in lower case; when the id is not known yet, it is read
// from the bridge's configuration first, without a user name. Over plain
// HTTP nothing is sent here: a bridge named by address keeps an empty id,
// which "config --auth" learns from the configuration it reads. A bare
// address means HTTPS on 443, or plain HTTP on 80 when 443 refuses
// connections and the bridge is not pinned. Prints nothing. Throws
// std::runtime_error naming the file when it cannot be read, and with one
// line naming the bridge when its certificate does not match.
Target select_target(const std::optional<Hue::BridgeName>& named, PinPolicy pin,
                     const Settings& settings, const AppIdentity& computed, Progress& progress);

}  // namespace Access

#endif  // GLOWRIG_ACCESS_BRIDGE_SELECTION_HPP_
