#ifndef GLOWRIG_HUE_BRIDGE_HPP_
#define GLOWRIG_HUE_BRIDGE_HPP_

#include <memory>
#include <string>
#include <tuple>

#include "http/endpoint.hpp"
#include "http/exchange.hpp"
#include "hue/address.hpp"
#include "hue/app_identity.hpp"
#include "hue/client.hpp"

namespace Hue {

class Configuration;
class Lights;
class Groups;
class Schedules;
class Scenes;
class Sensors;
class Rules;

// The whole state of a bridge, read with one request.
using FullState = std::tuple<Configuration, Lights, Groups, Schedules, Scenes, Sensors, Rules>;

// One bridge on the local network and the entry to its REST interface. A value
// handle: copies share one state, never changed after construction. Every
// read operation builds a client for one resource, sends GET and returns a
// resource object that keeps a copy of that client for its later requests.
class Bridge {
public:
    // A bridge with empty id and mac, at http://:80/.
    Bridge();
    // The bridge `id` answering at `endpoint` (its target is set to "/"),
    // with the MAC address `mac`. The id and the MAC are empty when unknown.
    Bridge(std::string id, Http::Endpoint endpoint, std::string mac = std::string());

    // As the discovery source reports it; empty when given by address.
    const std::string& id() const;
    // As the discovery source reports it; empty when given by address.
    const std::string& mac() const;
    // Where the bridge answers: its scheme, numeric host and port, the target "/".
    const Http::Endpoint& endpoint() const;

    // This bridge with the id `id`.
    Bridge with_id(std::string id) const;

    // This bridge, its clients checking the bridge's certificate with `check`
    // before every request they write (over TLS).
    Bridge with_certificate_check(Http::CertificateCheck check) const;

    // A client for {scheme}://{host}:{port}/api/{user}/{resource}, or
    // .../api/{user} when `resource` is empty, its exchanges taking a copy of
    // `options` with the bridge's certificate check, if it has one.
    // Throws std::invalid_argument when the user id does not form a URL path
    // (see resource_endpoint).
    Client make_client(const AppIdentity& identity, const std::string& resource,
                       const Http::Options& options) const;

    // `options` with the bridge's certificate check, if it has one.
    Http::Options options_for(const Http::Options& options) const;

    // GET {api}/config (no check for error replies); the configuration.
    Configuration get_configuration(const Http::Options& options,
                                    const AppIdentity& identity) const;
    // GET {api}/lights; all lights.
    Lights get_lights(const Http::Options& options, const AppIdentity& identity) const;
    // GET {api}/lights/new; the lights found by the last search.
    Lights get_new_lights(const Http::Options& options, const AppIdentity& identity) const;
    // GET {api}/groups; all groups.
    Groups get_groups(const Http::Options& options, const AppIdentity& identity) const;
    // GET {api}/schedules; all schedules.
    Schedules get_schedules(const Http::Options& options, const AppIdentity& identity) const;
    // GET {api}/scenes; all scenes.
    Scenes get_scenes(const Http::Options& options, const AppIdentity& identity) const;
    // GET {api}/sensors; all sensors.
    Sensors get_sensors(const Http::Options& options, const AppIdentity& identity) const;
    // The groups resource, read from nowhere: an empty list whose client
    // sends to {api}/groups (to recall a scene without reading the groups).
    Groups groups_resource(const Http::Options& options, const AppIdentity& identity) const;
    // GET {api}; the whole state.
    FullState get_full_state(const Http::Options& options, const AppIdentity& identity) const;

private:
    struct State;
    std::shared_ptr<const State> m_state;  // never null
};

}  // namespace Hue

#endif  // GLOWRIG_HUE_BRIDGE_HPP_
