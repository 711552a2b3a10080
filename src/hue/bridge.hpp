#ifndef GLOWRIG_HUE_BRIDGE_HPP_
#define GLOWRIG_HUE_BRIDGE_HPP_

#include <memory>
#include <string>
#include <tuple>

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

// One bridge's identity, never changed after construction.
struct BridgeInfo {
    BridgeInfo(std::string id_, std::string ip_, std::string mac_,
               unsigned short port_ = kDefaultPort, Scheme scheme_ = Scheme::Http,
               Http::CertificateCheck check_ = Http::CertificateCheck())
        : id(std::move(id_)),
          ip(std::move(ip_)),
          mac(std::move(mac_)),
          port(port_),
          scheme(scheme_),
          check(std::move(check_)) {}

    const std::string id;       // as the discovery portal reports it; empty when given by address
    const std::string ip;       // the host of every request URL
    const std::string mac;      // as the discovery portal reports it; empty when given by address
    const unsigned short port;  // the port of every request URL
    const Scheme scheme;        // plain HTTP or TLS for every request
    const Http::CertificateCheck check;  // over TLS, before every request; empty: none
};

// One bridge on the local network and the entry to its REST interface. A value
// handle: copies share one BridgeInfo. Every read operation builds a client
// for one resource, sends GET and returns a resource object that keeps a copy
// of that client for its later requests.
class Bridge {
public:
    // A bridge with empty id, ip and mac, on port 80.
    Bridge();
    // A bridge answering at `ip` (an IPv6 address without brackets) and `port`,
    // through `scheme`.
    Bridge(std::string id, std::string ip, std::string mac, unsigned short port = kDefaultPort,
           Scheme scheme = Scheme::Http);

    std::string id() const { return m_info->id; }
    std::string ip() const { return m_info->ip; }
    std::string mac() const { return m_info->mac; }
    unsigned short port() const { return m_info->port; }
    Scheme scheme() const { return m_info->scheme; }
    // Where the bridge answers: its scheme, ip and port, the target "/".
    Http::Endpoint endpoint() const { return Http::Endpoint{scheme(), ip(), port(), "/"}; }

    // This bridge, its clients checking the bridge's certificate with `check`
    // before every request they write (over TLS).
    Bridge with_certificate_check(Http::CertificateCheck check) const;

    // A client for {scheme}://{ip}:{port}/api/{user}/{resource}, or
    // .../api/{user} when `resource` is empty, configured with a copy of
    // `client_config` and the bridge's certificate check, if it has one.
    // Throws std::invalid_argument when the user id does not form a URL path
    // (see resource_endpoint).
    Client make_client(const AppIdentity& identity, const std::string& resource,
                       const ClientConfig& client_config) const;

    // GET {api}/config (no check for error replies); the configuration.
    Configuration get_configuration(const ClientConfig& client_config,
                                    const AppIdentity& identity) const;
    // GET {api}/lights; all lights.
    Lights get_lights(const ClientConfig& client_config, const AppIdentity& identity) const;
    // GET {api}/lights/new; the lights found by the last search.
    Lights get_new_lights(const ClientConfig& client_config, const AppIdentity& identity) const;
    // GET {api}/groups; all groups.
    Groups get_groups(const ClientConfig& client_config, const AppIdentity& identity) const;
    // GET {api}/schedules; all schedules.
    Schedules get_schedules(const ClientConfig& client_config, const AppIdentity& identity) const;
    // GET {api}/scenes; all scenes.
    Scenes get_scenes(const ClientConfig& client_config, const AppIdentity& identity) const;
    // The groups resource, read from nowhere: an empty list whose client
    // sends to {api}/groups (to recall a scene without reading the groups).
    Groups groups_resource(const ClientConfig& client_config, const AppIdentity& identity) const;
    // GET {api}; the whole state.
    FullState get_full_state(const ClientConfig& client_config, const AppIdentity& identity) const;

private:
    std::shared_ptr<const BridgeInfo> m_info;
};

}  // namespace Hue

#endif  // GLOWRIG_HUE_BRIDGE_HPP_
