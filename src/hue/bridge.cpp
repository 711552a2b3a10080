#include "hue/bridge.hpp"

#include "hue/details/group_impl.hpp"
#include "hue/details/light_impl.hpp"
#include "hue/details/requests.hpp"
#include "hue/details/scene_impl.hpp"
#include "hue/details/schedule_impl.hpp"
#include "hue/fullstate.hpp"
#include "json/value.hpp"

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
    return Client(resource_endpoint(endpoint(), path), config);
}

namespace {

// GET `path` of `client`, strict; the collection read from the reply, item
// by item as the parser meets them, keeps a copy of the client for its own
// requests.
template <class Collection, class Item, class Impl>
Collection read_collection(const Client& client, const std::string& path = std::string()) {
    return details::read_listing<Collection, Item, Impl>(client, details::kReadCollection, path);
}

}  // namespace

Configuration Bridge::get_configuration(const ClientConfig& client_config,
                                        const AppIdentity& identity) const {
    Configuration configuration(make_client(identity, "config", client_config));
    configuration.refresh();
    return configuration;
}

Lights Bridge::get_lights(const ClientConfig& client_config, const AppIdentity& identity) const {
    return read_collection<Lights, Light, details::Light_Impl>(
        make_client(identity, "lights", client_config));
}

Lights Bridge::get_new_lights(const ClientConfig& client_config,
                              const AppIdentity& identity) const {
    return read_collection<Lights, Light, details::Light_Impl>(
        make_client(identity, "lights", client_config), "new");
}

Groups Bridge::get_groups(const ClientConfig& client_config, const AppIdentity& identity) const {
    return read_collection<Groups, Group, details::Group_Impl>(
        make_client(identity, "groups", client_config));
}

Schedules Bridge::get_schedules(const ClientConfig& client_config,
                                const AppIdentity& identity) const {
    return read_collection<Schedules, Schedule, details::Schedule_Impl>(
        make_client(identity, "schedules", client_config));
}

Scenes Bridge::get_scenes(const ClientConfig& client_config, const AppIdentity& identity) const {
    return read_collection<Scenes, Scene, details::Scene_Impl>(
        make_client(identity, "scenes", client_config));
}

Groups Bridge::groups_resource(const ClientConfig& client_config,
                               const AppIdentity& identity) const {
    return Groups(make_client(identity, "groups", client_config));
}

FullState Bridge::get_full_state(const ClientConfig& client_config,
                                 const AppIdentity& identity) const {
    return read_full_state_reply(*this, client_config, identity);
}

}  // namespace Hue
