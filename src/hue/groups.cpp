#include "hue/groups.hpp"

#include <utility>

#include "hue/details/group_impl.hpp"
#include "hue/details/requests.hpp"

namespace Hue {
namespace {

// The id in a reply such as [{"success":{"id":"7"}}]: the text "id" of the
// first success element that holds one.
std::optional<std::string> created_id(const web::json::value& reply) {
    if (!reply.is_array()) return std::nullopt;
    for (const auto& element : reply.as_array()) {
        if (!element.is_object() || !element.has_field("success")) continue;
        const auto& success = element.at("success");
        if (success.is_object() && success.has_field("id") && success.at("id").is_string()) {
            return success.at("id").as_string();
        }
    }
    return std::nullopt;
}

}  // namespace

Group::Group(std::shared_ptr<details::Group_Impl> impl) : m_impl(std::move(impl)) {}

std::string Group::id() const { return m_impl->id(); }
std::string Group::name() const { return m_impl->name(); }
std::vector<std::string> Group::lights() const { return m_impl->lights(); }
GroupAction Group::action() const { return m_impl->action(); }

void Group::set_name(const std::string& name) { m_impl->set_name(name); }
void Group::set_lights(const std::vector<std::string>& lights) { m_impl->set_lights(lights); }
bool Group::whole() const { return m_impl->whole(); }
void Group::set_action(const GroupAction& desired, std::uint32_t always) {
    m_impl->set_desired(desired, always);
}

pplx::task<void> Group::refresh() {
    return details::refresh(m_impl, details::kRefreshGroup, m_impl->path());
}

pplx::task<void> Group::save() {
    return details::send(m_impl->client(), details::kSave, m_impl->path(), m_impl->save_body());
}

pplx::task<void> Group::save_action(std::uint16_t transitiontime) {
    return details::send_change(m_impl->client(), details::kSave, m_impl->path() + "/action",
                                m_impl->action_body(transitiontime));
}

Groups Groups::from_json(const Client& client, const web::json::value& object) {
    return read_items<Groups, Group, details::Group_Impl>(client, object);
}

pplx::task<std::optional<std::string>> Groups::create(
    const std::string& name, const std::vector<std::string>& lights) const {
    return details::send_request(client(), details::kCreate, std::string(),
                                 details::group_body(name, lights))
        .then(created_id);
}

Group Groups::all_lights() const {
    return Group(std::make_shared<details::Group_Impl>(client(), std::string(kAllLights)));
}

pplx::task<void> Groups::remove(const std::string& id) const {
    return details::send(client(), details::kRemove, path_segment(id));
}

}  // namespace Hue
