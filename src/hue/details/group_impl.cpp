#include "hue/details/group_impl.hpp"

#include <utility>

#include "hue/details/light_state_json.hpp"
#include "hue/text.hpp"

namespace Hue {
namespace details {

Group_Impl::Group_Impl(const Client& client, std::string id)
    : m_client(client), m_id(std::move(id)) {}

void Group_Impl::read(const web::json::value& group) {
    if (!group.is_object()) return;
    if (group.has_field("name")) m_name = group.at("name").as_string();
    if (group.has_field("lights")) {
        const web::json::array& ids = group.at("lights").as_array();
        m_lights.clear();
        for (const auto& id : ids) m_lights.push_back(id.as_string());
    }
    if (group.has_field("action")) {
        read_group_action(group.at("action"), m_action);
        m_desired = m_action;
    }
}

std::string Group_Impl::path() const { return path_segment(m_id); }

std::string Group_Impl::action_path() const { return path() + "/action"; }

web::json::value Group_Impl::body() const { return group_body(m_name, m_lights); }

web::json::value Group_Impl::action_body(std::uint16_t transitiontime) const {
    return state_change(m_action, m_desired, transitiontime);
}

web::json::value group_body(const std::string& name, const std::vector<std::string>& lights) {
    web::json::value ids = web::json::value::array(lights.size());
    for (std::size_t i = 0; i < lights.size(); ++i) {
        ids[i] = web::json::value::string((lights[i]));
    }
    web::json::value body = web::json::value::object();
    body["name"] = web::json::value::string(name);
    body["lights"] = ids;
    return body;
}

}  // namespace details
}  // namespace Hue
