#include "hue/groups.hpp"

#include <utility>

#include <cpprest/details/web_utilities.h>

#include "hue/bridge.hpp"
#include "hue/details/group_impl.hpp"
#include "hue/text.hpp"

namespace Hue {
namespace {

void discard(const web::json::value&) {}

}  // namespace

Group::Group(std::shared_ptr<details::Group_Impl> impl) : m_impl(std::move(impl)) {}

std::string Group::id() const { return m_impl->id(); }
std::string Group::name() const { return m_impl->name(); }
std::vector<std::string> Group::lights() const { return m_impl->lights(); }
GroupAction Group::action() const { return m_impl->action(); }

void Group::set_name(const std::string& name) { m_impl->set_name(name); }
void Group::set_lights(const std::vector<std::string>& lights) { m_impl->set_lights(lights); }
void Group::set_action(const GroupAction& desired) { m_impl->set_desired(desired); }

pplx::task<void> Group::refresh() {
    auto impl = m_impl;
    // Not the strict reply step: an error array reads as an object without
    // keys and leaves the group as it was.
    return impl->client()
        .read(Method::Get, impl->path())
        .then([impl](const web::json::value& group) { impl->read(group); });
}

pplx::task<void> Group::save() {
    return m_impl->client().read_strict(Method::Put, m_impl->path(), m_impl->body()).then(discard);
}

pplx::task<void> Group::save_action(std::uint16_t transitiontime) {
    const web::json::value body = m_impl->action_body(transitiontime);
    if (body.is_null()) return nothing_to_send();
    return m_impl->client().read_strict(Method::Put, m_impl->action_path(), body).then(discard);
}

Groups Groups::from_json(const Client& client, const web::json::value& object) {
    return read_items<Groups, Group, details::Group_Impl>(client, object);
}

pplx::task<void> Groups::create(const std::string& name,
                                const std::vector<std::string>& lights) const {
    return client()
        .read_strict(Method::Post, std::string(), details::group_body(name, lights))
        .then(discard);
}

pplx::task<void> Groups::remove(const std::string& id) const {
    return client().read_strict(Method::Delete, path_segment(id)).then(discard);
}

pplx::task<Groups> Bridge::get_groups(const ClientConfig& client_config,
                                      const AppIdentity& identity) const {
    return read_collection<Groups>(make_client(identity, "groups", client_config));
}

}  // namespace Hue
