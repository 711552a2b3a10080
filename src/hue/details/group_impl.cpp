#include "hue/details/group_impl.hpp"

#include "hue/details/light_state_json.hpp"

namespace Hue {
namespace details {

using Json::Value;

void Group_Impl::read(const Value& group) {
    // An error array to a refresh leaves the group as it was; any other value
    // that is not an object is no group.
    if (group.is_array()) return;
    if (!group.is_object()) throw Json::Error("not an object");
    read_field(group, "name", m_name);
    read_field(group, "lights", m_lights);
    for (const auto& [member, field] : {std::pair{"type", &m_type}, std::pair{"class", &m_class}}) {
        const Value* value = Json::find(group, member);
        if (value != nullptr && value->is_string()) *field = Json::as_string(*value);
    }
    // "state": {"any_on": ...}; a value of another shape counts as not reported.
    const Value* state = Json::find(group, "state");
    const Value* any_on = state != nullptr ? Json::find(*state, "any_on") : nullptr;
    if (any_on != nullptr && any_on->is_boolean()) m_any_on = Json::as_bool(*any_on);
    const Value* action = Json::find(group, "action");
    if (action != nullptr) {
        read_state(*action, m_action);
        m_desired = m_action;
        m_always = 0;
    }
    if (action != nullptr && Json::has(group, "lights")) m_whole = true;
}

Value Group_Impl::save_body() const { return group_body(m_name, m_lights); }

Value Group_Impl::action_body(std::uint16_t transitiontime) const {
    return state_change(m_action, m_desired, transitiontime, m_always);
}

Value group_body(const std::string& name, const std::vector<std::string>& lights) {
    Value body = Value::object();
    body["name"] = name;
    body["lights"] = lights;
    return body;
}

}  // namespace details
}  // namespace Hue
