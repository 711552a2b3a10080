#ifndef GLOWRIG_HUE_DETAILS_CONFIGURATION_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_CONFIGURATION_IMPL_HPP_

#include <optional>
#include <set>
#include <string>

#include "hue/client.hpp"
#include "hue/configuration.hpp"
#include "json/value.hpp"

namespace Hue {
namespace details {

// The state shared by the copies of one Configuration: its client, the status
// and the settings as read, and the settings as the caller wants them.
class Configuration_Impl {
public:
    // Defaults everywhere until the first read().
    explicit Configuration_Impl(const Client& client);
    Configuration_Impl(const Configuration_Impl&) = delete;
    Configuration_Impl& operator=(const Configuration_Impl&) = delete;

    // The client of {api}/config.
    const Client& client() const { return m_client; }

    // Resets status and read settings to their defaults, fills them from the
    // configuration object `json` and makes the pending settings equal to the
    // read ones. Every member is optional; a value that is not an object
    // leaves the defaults; a proxy address that does not form a URL with its
    // port reads as no proxy. Throws Json::Error for a member of the wrong
    // type or a whitelist entry or "swupdate" lacking a member; the members
    // read before it keep their new values.
    void read(const Json::Value& json);

    // The body that sends the pending settings differing from the read ones,
    // or the JSON null value when none differ.
    Json::Value save_body() const;

    // The names of the top-level members of the object last read; empty
    // before the first read and after an error array.
    const std::set<std::string>& members() const { return m_members; }

    // The id the object last read tells (see Hue::configuration_bridge_id).
    const std::optional<std::string>& bridge_id() const { return m_bridge_id; }

    const ConfigurationStatus& status() const { return m_status; }
    const ConfigurationSettings& settings() const { return m_settings; }
    ConfigurationSettings& pending_settings() { return m_pending; }

private:
    const Client m_client;
    ConfigurationStatus m_status;
    ConfigurationSettings m_settings;  // as read
    ConfigurationSettings m_pending;   // as wanted
    std::set<std::string> m_members;   // of the object last read
    std::optional<std::string> m_bridge_id;
};

// Returns the packed form of an API version text such as "1.2.1": up to four
// dot-separated numbers, one per byte from the top; an unreadable component
// counts as 0. Results below 1.0.0 become 1.0.0 (0x01000000).
uint32_t pack_api_version(const std::string& text);

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_CONFIGURATION_IMPL_HPP_
