#include "hue/details/group_impl.hpp"

#include "hue/details/light_state_json.hpp"

namespace Hue {
namespace details {

using web::json::value;

void Group_Impl::read(const value& group) {
    // An error array to a refresh leaves the group as it was; any other value
    // that is not an object is no group.
    if (group.is_array()) return;
    if (!group.is_object()) throw web::json::json_exception("not an object");
    read_field(group, "name", m_name);
    read_field(group, "lights", m_lights);
    if (group.has_field("action")) {
        read_state(group.at("action"), m_action);
        m_desired = m_action;
        m_always = 0;
    }
    if (group.has_field("lights") && group.has_field("action")) m_whole = true;
}

value Group_Impl::save_body() const { return group_body(m_name, m_lights); }

value Group_Impl::action_body(std::uint16_t transitiontime) const {
    return state_change(m_action, m_desired, transitiontime, m_always);
}

value group_body(const std::string& name, const std::vector<std::string>& lights) {
    value ids = value::array(lights.size());
    for (std::size_t i = 0; i < lights.size(); ++i) ids[i] = value::string(lights[i]);
    value body = value::object();
    body["name"] = value::string(name);
    body["lights"] = ids;
    return body;
}

}  // namespace details
}  // namespace Hue
