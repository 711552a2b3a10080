// Reads the input, when it is JSON, as a bridge's configuration object and
// builds the change set of the settings as read. JSON type errors are the
// reader's expected failures; any other exception is a finding.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "hue/client.hpp"
#include "hue/details/configuration_impl.hpp"
#include "json/text.hpp"

using FuzzSupport::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto json = FuzzSupport::parse_json(data, size);
    if (!json) return 0;
    static const Hue::Client client;
    Hue::details::Configuration_Impl configuration(client);
    try {
        configuration.read(*json);
    } catch (const Json::Error&) {
        return 0;
    }
    // Nothing was changed since reading, so nothing is to be sent.
    require(configuration.save_body().is_null(), "settings as read have no changes");
    // A change of every setting the bridge takes back forms a body.
    Hue::ConfigurationSettings& wanted = configuration.pending_settings();
    wanted.name += "x";
    wanted.linkbutton = !wanted.linkbutton;
    wanted.dhcp = !wanted.dhcp;
    wanted.ipaddress += "1";
    const Json::Value body = configuration.save_body();
    require(Json::has(body, "name") && Json::has(body, "linkbutton"), "changed settings are sent");
    Json::text(body);
    return 0;
}
