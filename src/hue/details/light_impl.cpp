#include "hue/details/light_impl.hpp"

#include <utility>

#include "hue/details/light_state_json.hpp"
#include "hue/text.hpp"

namespace Hue {
namespace details {
namespace {

// Replaces `field` with the string of `key` when `object` has it.
void read_text(const web::json::value& object, const char* key, std::string& field) {
    if (object.has_field(key)) field = object.at(key).as_string();
}

}  // namespace

Light_Impl::Light_Impl(const Client& client, std::string id)
    : m_client(client), m_id(std::move(id)) {}

void Light_Impl::read(const web::json::value& light) {
    if (!light.is_object()) return;
    read_text(light, "name", m_name);
    read_text(light, "type", m_type);
    read_text(light, "modelid", m_modelid);
    read_text(light, "swversion", m_swversion);
    if (light.has_field("state")) {
        read_light_state(light.at("state"), m_state);
        m_desired = m_state;
    }
}

std::string Light_Impl::path() const { return path_segment(m_id); }

std::string Light_Impl::state_path() const { return path() + "/state"; }

web::json::value Light_Impl::name_body() const {
    web::json::value body = web::json::value::object();
    body["name"] = web::json::value::string(m_name);
    return body;
}

web::json::value Light_Impl::state_body(std::uint16_t transitiontime) const {
    return state_change(m_state, m_desired, transitiontime);
}

}  // namespace details
}  // namespace Hue
