#include "hue/groups.hpp"

#include <utility>

#include "hue/details/group_impl.hpp"
#include "hue/details/requests.hpp"
#include "hue/pacing.hpp"

namespace Hue {
namespace {

// The id in a reply such as [{"success":{"id":"7"}}]: the text "id" of the
// first success element that holds one.
std::optional<std::string> created_id(const Json::Value& reply) {
    if (!reply.is_array()) return std::nullopt;
    for (const auto& element : Json::as_array(reply)) {
        const Json::Value* success = Json::find(element, "success");
        const Json::Value* id = success ? Json::find(*success, "id") : nullptr;
        if (id != nullptr && id->is_string()) return Json::as_string(*id);
    }
    return std::nullopt;
}

}  // namespace

Group::Group(std::shared_ptr<details::Group_Impl> impl) : m_impl(std::move(impl)) {}

std::string Group::id() const { return m_impl->id(); }
std::string Group::name() const { return m_impl->name(); }
std::vector<std::string> Group::lights() const { return m_impl->lights(); }
GroupAction Group::action() const { return m_impl->action(); }
std::optional<bool> Group::any_on() const { return m_impl->any_on(); }
std::optional<std::string> Group::type() const { return m_impl->type(); }
std::optional<std::string> Group::group_class() const { return m_impl->group_class(); }

void Group::set_name(const std::string& name) { m_impl->set_name(name); }
void Group::set_lights(const std::vector<std::string>& lights) { m_impl->set_lights(lights); }
bool Group::whole() const { return m_impl->whole(); }
void Group::set_action(const GroupAction& desired, std::uint32_t always) {
    m_impl->set_desired(desired, always);
}

void Group::refresh() { details::refresh(*m_impl, details::kRefreshGroup, m_impl->path()); }

void Group::save() {
    details::send(m_impl->client(), details::kSave, m_impl->path(), m_impl->save_body());
}

void Group::save_action(std::uint16_t transitiontime) {
    const Json::Value body = m_impl->action_body(transitiontime);
    if (body.is_null()) return;
    paced(m_impl->client(), Command::group, [&] {
        details::send(m_impl->client(), details::kSave, m_impl->path() + "/action", body);
    });
}

Groups Groups::from_json(const Client& client, const Json::Value& object) {
    return details::read_items<Groups, Group, details::Group_Impl>(client, object);
}

std::optional<std::string> Groups::create(const std::string& name,
                                          const std::vector<std::string>& lights,
                                          const GroupKind& kind) const {
    return created_id(details::send_request(client(), details::kCreate, std::string(),
                                            details::group_body(name, lights, kind)));
}

Group Groups::all_lights() const {
    return Group(std::make_shared<details::Group_Impl>(client(), std::string(kAllLights)));
}

void Groups::remove(const std::string& id) const {
    details::send(client(), details::kRemove, path_segment(id));
}

void Groups::recall_scene(const std::string& group, const std::string& scene) const {
    Json::Value body = Json::Value::object();
    body["scene"] = scene;
    paced(client(), Command::group,
          [&] { details::send(client(), details::kSave, path_segment(group) + "/action", body); });
}

}  // namespace Hue
