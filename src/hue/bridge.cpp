#include "hue/bridge.hpp"

#include <cpprest/details/web_utilities.h>

#include "hue/details/requests.hpp"
#include "hue/fullstate.hpp"
#include "hue/text.hpp"

namespace Hue {

Bridge::Bridge() : Bridge(std::string(), std::string(), std::string()) {}

Bridge::Bridge(std::string id, std::string ip, std::string mac, unsigned short port, Scheme scheme)
    : m_info(std::make_shared<const BridgeInfo>(std::move(id), std::move(ip), std::move(mac), port,
                                                scheme)) {}

Bridge Bridge::with_certificate_check(Http::CertificateCheck check) const {
    Bridge checked;
    checked.m_info =
        std::make_shared<const BridgeInfo>(id(), ip(), mac(), port(), scheme(), std::move(check));
    return checked;
}

Client Bridge::make_client(const AppIdentity& identity, const std::string& resource,
                           const ClientConfig& client_config) const {
    std::string path = "api/" + identity.user_id;
    if (!resource.empty()) path += "/" + resource;
    ClientConfig config = client_config;
    if (m_info->check) config.check_certificate = m_info->check;
    // An IPv6 address needs brackets to be the host of a URL.
    return Client(http_url(url_host(ip()), path, port(), scheme()), config);
}

namespace {

// GET `path` of `client`, strict; yields Collection::from_json(client, reply).
// The collection keeps a copy of the client for its own requests.
template <class Collection>
pplx::task<Collection> read_collection(const Client& client, const std::string& path = "") {
    return details::read_as<Collection>(
        client, details::kReadCollection, path,
        [client](const web::json::value& json) { return Collection::from_json(client, json); });
}

}  // namespace

pplx::task<Configuration> Bridge::get_configuration(const ClientConfig& client_config,
                                                    const AppIdentity& identity) const {
    Configuration configuration(make_client(identity, "config", client_config));
    return configuration.refresh().then([configuration]() { return configuration; });
}

pplx::task<Lights> Bridge::get_lights(const ClientConfig& client_config,
                                      const AppIdentity& identity) const {
    return read_collection<Lights>(make_client(identity, "lights", client_config));
}

pplx::task<Lights> Bridge::get_new_lights(const ClientConfig& client_config,
                                          const AppIdentity& identity) const {
    return read_collection<Lights>(make_client(identity, "lights", client_config), "new");
}

pplx::task<Groups> Bridge::get_groups(const ClientConfig& client_config,
                                      const AppIdentity& identity) const {
    return read_collection<Groups>(make_client(identity, "groups", client_config));
}

pplx::task<Schedules> Bridge::get_schedules(const ClientConfig& client_config,
                                            const AppIdentity& identity) const {
    return read_collection<Schedules>(make_client(identity, "schedules", client_config));
}

pplx::task<FullState> Bridge::get_full_state(const ClientConfig& client_config,
                                             const AppIdentity& identity) const {
    const Bridge bridge = *this;
    const ClientConfig config_copy = client_config;
    return details::read_as<FullState>(
        make_client(identity, "", client_config), details::kReadCollection, "",
        [bridge, config_copy, identity](const web::json::value& root) {
            return read_full_state(bridge, config_copy, identity, root);
        });
}

}  // namespace Hue
