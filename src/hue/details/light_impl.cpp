#include "hue/details/light_impl.hpp"

#include "hue/details/light_state_json.hpp"

namespace Hue {
namespace details {

void Light_Impl::read(const Json::Value& light) {
    if (!light.is_object()) throw Json::Error("not an object");
    read_field(light, "name", m_name);
    read_field(light, "type", m_type);
    read_field(light, "modelid", m_modelid);
    read_field(light, "swversion", m_swversion);
    if (const Json::Value* state = Json::find(light, "state")) {
        read_state(*state, m_state, &m_state_keys);
        m_desired = m_state;
        m_always = 0;
        m_whole = true;
    }
}

Json::Value Light_Impl::name_body() const {
    Json::Value body = Json::Value::object();
    body["name"] = m_name;
    return body;
}

Json::Value Light_Impl::state_body(std::uint16_t transitiontime) const {
    return state_change(m_state, m_desired, transitiontime, m_always);
}

}  // namespace details
}  // namespace Hue
