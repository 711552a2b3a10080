#include "hue/configuration.hpp"

#include <stdexcept>
#include <utility>

#include "hue/details/configuration_impl.hpp"
#include "hue/details/requests.hpp"

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

Configuration Configuration::from_json(const Client& client, const Json::Value& json) {
    Configuration configuration(client);
    configuration.m_impl->read(json);
    return configuration;
}

void Configuration::refresh() {
    details::refresh(*m_impl, details::kReadConfiguration, std::string());
}

void Configuration::save() {
    details::send_change(m_impl->client(), details::kSaveConfiguration, std::string(),
                         m_impl->save_body());
}

ConfigurationStatus Configuration::status() const { return m_impl->status(); }

ConfigurationSettings Configuration::settings() const { return m_impl->settings(); }

ConfigurationSettings& Configuration::pending_settings() { return m_impl->pending_settings(); }

bool Configuration::reported(const std::string& member) const {
    return m_impl->members().count(member) != 0;
}

std::optional<std::string> Configuration::bridge_id() const { return m_impl->bridge_id(); }

bool Configuration::is_allowed(const AppIdentity& identity) const {
    return m_impl->status().whitelist.count(identity.user_id) != 0;
}

std::string Configuration::create_user(const AppIdentity& identity) {
    Json::Value body = Json::Value::object();
    body["devicetype"] = identity.app_name;
    body["username"] = identity.user_id;
    // The only request without a user segment: http://{ip}/api.
    const Json::Value reply = details::send_request(m_impl->client().with_path("api"),
                                                    details::kCreateUser, std::string(), body);
    std::string granted = details::granted_user_name(reply).value_or(identity.user_id);
    // The name goes into every request path and into the credentials file:
    // one that could leave its path segment is not taken.
    if (!is_safe_user_name(granted)) {
        throw std::runtime_error(
            "Error: the bridge granted a user name that is not 1 to 128 letters, digits, "
            "'-', '_' or '.'.");
    }
    return granted;
}

bool is_safe_user_name(const std::string& name) {
    if (name.empty() || name.size() > 128 || name == "." || name == "..") return false;
    for (const char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '-' && c != '_' && c != '.') return false;
    }
    return true;
}

void Configuration::delete_user(const AppIdentity& identity) {
    details::send(m_impl->client(), details::kDeleteUser,
                  "whitelist/" + path_segment(identity.user_id));
}

}  // namespace Hue
