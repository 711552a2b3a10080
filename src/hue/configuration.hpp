#ifndef GLOWRIG_HUE_CONFIGURATION_HPP_
#define GLOWRIG_HUE_CONFIGURATION_HPP_

#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "hue/app_identity.hpp"
#include "hue/client.hpp"
#include "json/value_fwd.hpp"

namespace Hue {

namespace details {
class Configuration_Impl;
}  // namespace details

// Returns 1970-01-01 00:00:00 as a UTC calendar time.
std::tm epoch_utc();

// One user of a bridge's whitelist. Dates are the bridge's texts read as they
// stand, without time-zone conversion.
struct WhitelistEntry {
    std::tm last_use_date = epoch_utc();  // "last use date"; the epoch until read
    std::tm create_date = epoch_utc();    // "create date"; the epoch until read
    std::string name;                     // "name": the device type the user registered with
};

// The read-only part of a bridge's configuration.
struct ConfigurationStatus {
    ConfigurationStatus();

    std::map<std::string, WhitelistEntry> whitelist;  // by user id, ascending
    // "apiversion" packed one component per byte, the major version in the
    // top byte: 1.2.1 is 0x01020100. Never below 0x01000000 (1.0.0).
    uint32_t api_version;
    std::string swversion;
    std::string mac;
    std::tm utc;        // "UTC"; the epoch until read
    std::tm localtime;  // "localtime"; the epoch in this computer's time zone until read
    int32_t zigbeechannel;
};

// The bridge's software update state ("swupdate").
struct SoftwareUpdate {
    int32_t updatestate = 0;  // 2: an update is ready to install; 3: install it
    std::string url;
    std::string text;
    bool notify = false;
};

// The proxy a bridge itself uses, as it reports it.
struct BridgeProxy {
    std::string host;  // in lower case; empty: none
    int port = 0;      // as reported; not written into the address when 0 or below
};

// The writable part of a bridge's configuration.
struct ConfigurationSettings {
    std::string name;
    SoftwareUpdate swupdate;
    // The proxy the bridge itself uses; no host when it has none.
    BridgeProxy proxy;
    bool linkbutton = false;
    std::string ipaddress;
    std::string netmask;
    std::string gateway;
    bool dhcp = false;
    bool portalservices = false;
    std::string timezone;
};

// A bridge's configuration resource ({api}/config). A handle: copies share one
// state, so a change made through one copy is seen by all. Settings are held
// twice, as read and as pending; save() sends only what differs. Not safe for
// concurrent use.
class Configuration {
public:
    // A configuration with default values, bound to the placeholder client.
    Configuration();
    // A configuration with default values whose requests go through `client`
    // ({api}/config).
    explicit Configuration(const Client& client);
    explicit Configuration(std::shared_ptr<details::Configuration_Impl> impl);

    // A configuration bound to `client`, filled from the configuration object
    // `json`. Throws Json::Error when a member has the wrong type.
    static Configuration from_json(const Client& client, const Json::Value& json);

    // Reads the configuration again (GET, no check for error replies) and
    // replaces status, read and pending settings. Fails with the HTTP failure,
    // Json::ParseError for a reply that is not JSON, or Json::Error for a
    // member of the wrong type.
    void refresh();

    // Sends the pending settings that differ from the read ones (PUT); sends
    // nothing when none differ. The reply is not inspected and the state in
    // memory is unchanged until the next refresh().
    void save();

    // The status as last read.
    ConfigurationStatus status() const;
    // The settings as last read (never the pending ones).
    ConfigurationSettings settings() const;
    // The pending settings, for changing one field in place.
    ConfigurationSettings& pending_settings();

    // True when the configuration object last read held the top-level member
    // `member` (its exact name, such as "UTC" or "whitelist"): a value the
    // bridge reported rather than a default. A bridge shows a user it does not
    // know only a few members.
    bool reported(const std::string& member) const;

    // The bridge's id as the configuration object last read tells it: its
    // "bridgeid", else the id made from its "mac" (see
    // configuration_bridge_id). nullopt when it tells neither.
    std::optional<std::string> bridge_id() const;

    // Returns true when identity.user_id is a key of the whitelist as last
    // read (exact comparison). Sends nothing.
    bool is_allowed(const AppIdentity& identity) const;

    // Asks the bridge to whitelist `identity` (POST http://{ip}/api with
    // "devicetype" and "username") and returns the user name the bridge
    // granted: the "username" of the first success element holding one, or
    // identity.user_id when no element does. A bridge may grant a name of its
    // own instead of the requested one; the error elements of type 7 for
    // "/username" that then come with the grant do not fail the request.
    // Fails with Json::Error ("not an array") when the reply is not an array,
    // and with Hue::BridgeError holding the first other error element of the
    // reply. The whitelist in memory is not updated. Fails with
    // std::runtime_error when the granted name is not is_safe_user_name().
    std::string create_user(const AppIdentity& identity);

    // Removes identity.user_id from the bridge's whitelist (DELETE
    // config/whitelist/{id}). Fails with Hue::BridgeError holding the error
    // element when the bridge refuses. The whitelist in memory is not updated.
    void delete_user(const AppIdentity& identity);

private:
    std::shared_ptr<details::Configuration_Impl> m_impl;  // never null
};

// True when `name` is 1 to 128 ASCII letters, digits, '-', '_' or '.' and
// neither "." nor "..": a user name that stays one path segment.
bool is_safe_user_name(const std::string& name);

}  // namespace Hue

#endif  // GLOWRIG_HUE_CONFIGURATION_HPP_
