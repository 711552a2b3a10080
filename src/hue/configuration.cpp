#include "hue/configuration.hpp"

#include <utility>

#include "hue/bridge.hpp"
#include "hue/details/configuration_impl.hpp"
#include "hue/text.hpp"

namespace Hue {

std::tm epoch_utc() {
    const std::time_t zero = 0;
    std::tm time{};
    gmtime_r(&zero, &time);
    return time;
}

namespace {

std::tm epoch_local() {
    const std::time_t zero = 0;
    std::tm time{};
    localtime_r(&zero, &time);
    return time;
}

}  // namespace

ConfigurationStatus::ConfigurationStatus()
    : api_version(0x01000000), utc(epoch_utc()), localtime(epoch_local()), zigbeechannel(0) {}

Configuration::Configuration() : Configuration(Client()) {}

Configuration::Configuration(const Client& client)
    : m_impl(std::make_shared<details::Configuration_Impl>(client)) {}

Configuration::Configuration(std::shared_ptr<details::Configuration_Impl> impl)
    : m_impl(std::move(impl)) {}

Configuration Configuration::from_json(const Client& client, const web::json::value& json) {
    Configuration configuration(client);
    configuration.m_impl->parse(json);
    return configuration;
}

pplx::task<void> Configuration::refresh() {
    auto impl = m_impl;
    return impl->client().read(Method::Get).then([impl](const web::json::value& json) {
        impl->parse(json);
    });
}

pplx::task<void> Configuration::save() {
    const web::json::value body = m_impl->change_set();
    if (body.is_null()) return nothing_to_send();
    auto impl = m_impl;
    // The reply is not inspected: a bridge refusing a setting goes unnoticed
    // until the next refresh shows the old value.
    return impl->client()
        .read(Method::Put, std::string(), body)
        .then([impl](const web::json::value&) {});
}

ConfigurationStatus Configuration::status() const { return m_impl->status(); }

ConfigurationSettings Configuration::settings() const { return m_impl->settings(); }

void Configuration::set_settings(const ConfigurationSettings& settings) {
    m_impl->set_settings(settings);
}

ConfigurationSettings& Configuration::pending_settings() { return m_impl->pending_settings(); }

bool Configuration::is_allowed(const AppIdentity& identity) const {
    return m_impl->status().whitelist.count(identity.user_id) != 0;
}

pplx::task<void> Configuration::create_user(const AppIdentity& identity) {
    web::json::value body = web::json::value::object();
    body["devicetype"] = web::json::value::string(identity.app_name);
    body["username"] = web::json::value::string(identity.user_id);
    // The only request without a user segment: http://{ip}/api.
    const Client users = m_impl->client().with_path("api");
    return users
        .read(Method::Post, std::string(), body)
        // The reply must be an array; as_array() fails with the JSON library's error otherwise.
        .then([](const web::json::value& reply) {
            reply.as_array();
            return reply;
        })
        // Its first error element fails the creation.
        .then(reject_errors)
        .then([](const web::json::value&) {});
}

pplx::task<void> Configuration::delete_user(const AppIdentity& identity) {
    auto impl = m_impl;
    return impl->client()
        .read_strict(Method::Delete, "whitelist/" + path_segment(identity.user_id))
        .then([impl](const web::json::value&) {});
}

pplx::task<Configuration> Bridge::get_configuration(const ClientConfig& client_config,
                                                    const AppIdentity& identity) const {
    Configuration configuration(make_client(identity, "config", client_config));
    return configuration.refresh().then([configuration]() { return configuration; });
}

}  // namespace Hue
