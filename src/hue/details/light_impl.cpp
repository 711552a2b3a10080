#include "hue/details/light_impl.hpp"

#include "hue/details/light_state_json.hpp"

namespace Hue {
namespace details {

void Light_Impl::read(const web::json::value& light) {
    if (!light.is_object()) throw web::json::json_exception("not an object");
    read_field(light, "name", m_name);
    read_field(light, "type", m_type);
    read_field(light, "modelid", m_modelid);
    read_field(light, "swversion", m_swversion);
    if (light.has_field("state")) {
        read_state(light.at("state"), m_state, &m_state_keys);
        m_desired = m_state;
        m_always = 0;
        m_whole = true;
    }
}

web::json::value Light_Impl::name_body() const {
    web::json::value body = web::json::value::object();
    body["name"] = web::json::value::string(m_name);
    return body;
}

web::json::value Light_Impl::state_body(std::uint16_t transitiontime) const {
    return state_change(m_state, m_desired, transitiontime, m_always);
}

}  // namespace details
}  // namespace Hue
