#include "hue/bridge.hpp"

#include "hue/details/group_impl.hpp"
#include "hue/details/light_impl.hpp"
#include "hue/details/requests.hpp"
#include "hue/details/scene_impl.hpp"
#include "hue/details/schedule_impl.hpp"
#include "hue/details/sensor_impl.hpp"
#include "hue/fullstate.hpp"
#include "json/value.hpp"

namespace Hue {

struct Bridge::State {
    std::string id;
    Http::Endpoint endpoint;
    std::string mac;
    Http::CertificateCheck check;  // over TLS, before every request; empty: none
};

Bridge::Bridge() : Bridge(std::string(), Http::Endpoint()) {}

Bridge::Bridge(std::string id, Http::Endpoint endpoint, std::string mac) {
    endpoint.target = "/";
    m_state = std::make_shared<const State>(
        State{std::move(id), std::move(endpoint), std::move(mac), Http::CertificateCheck()});
}

const std::string& Bridge::id() const { return m_state->id; }

const std::string& Bridge::mac() const { return m_state->mac; }

const Http::Endpoint& Bridge::endpoint() const { return m_state->endpoint; }

Bridge Bridge::with_id(std::string id) const {
    Bridge other;
    other.m_state = std::make_shared<const State>(
        State{std::move(id), m_state->endpoint, m_state->mac, m_state->check});
    return other;
}

Bridge Bridge::with_certificate_check(Http::CertificateCheck check) const {
    Bridge other;
    other.m_state = std::make_shared<const State>(
        State{m_state->id, m_state->endpoint, m_state->mac, std::move(check)});
    return other;
}

Http::Options Bridge::options_for(const Http::Options& options) const {
    Http::Options own = options;
    if (m_state->check) own.check = m_state->check;
    return own;
}

Client Bridge::make_client(const AppIdentity& identity, const std::string& resource,
                           const Http::Options& options) const {
    std::string path = "api/" + identity.user_id;
    if (!resource.empty()) path += "/" + resource;
    return Client(resource_endpoint(endpoint(), path), options_for(options));
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

Configuration Bridge::get_configuration(const Http::Options& options,
                                        const AppIdentity& identity) const {
    Configuration configuration(make_client(identity, "config", options));
    configuration.refresh();
    return configuration;
}

Lights Bridge::get_lights(const Http::Options& options, const AppIdentity& identity) const {
    return read_collection<Lights, Light, details::Light_Impl>(
        make_client(identity, "lights", options));
}

Lights Bridge::get_new_lights(const Http::Options& options, const AppIdentity& identity) const {
    return read_collection<Lights, Light, details::Light_Impl>(
        make_client(identity, "lights", options), "new");
}

Groups Bridge::get_groups(const Http::Options& options, const AppIdentity& identity) const {
    return read_collection<Groups, Group, details::Group_Impl>(
        make_client(identity, "groups", options));
}

Schedules Bridge::get_schedules(const Http::Options& options, const AppIdentity& identity) const {
    return read_collection<Schedules, Schedule, details::Schedule_Impl>(
        make_client(identity, "schedules", options));
}

Scenes Bridge::get_scenes(const Http::Options& options, const AppIdentity& identity) const {
    return read_collection<Scenes, Scene, details::Scene_Impl>(
        make_client(identity, "scenes", options));
}

Sensors Bridge::get_sensors(const Http::Options& options, const AppIdentity& identity) const {
    return read_collection<Sensors, Sensor, details::Sensor_Impl>(
        make_client(identity, "sensors", options));
}

Groups Bridge::groups_resource(const Http::Options& options, const AppIdentity& identity) const {
    return Groups(make_client(identity, "groups", options));
}

FullState Bridge::get_full_state(const Http::Options& options, const AppIdentity& identity) const {
    return read_full_state_reply(*this, options, identity);
}

}  // namespace Hue
