#ifndef GLOWRIG_HUE_DETAILS_LIGHT_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_LIGHT_IMPL_HPP_

#include <cstdint>
#include <optional>
#include <string>

#include "hue/details/resource_impl.hpp"
#include "hue/lights.hpp"

namespace Hue {
namespace details {

// The shared state behind Light handles: the light's texts, the state the
// bridge last reported and the state wanted.
class Light_Impl : public Resource_Impl {
public:
    using Resource_Impl::Resource_Impl;

    const std::string& name() const { return m_name; }
    const std::string& modelid() const { return m_modelid; }
    const std::string& swversion() const { return m_swversion; }
    const std::optional<std::string>& type() const { return m_type; }
    const std::optional<std::string>& productname() const { return m_productname; }
    const std::optional<LightCapabilities>& capabilities() const { return m_capabilities; }
    const LightState& state() const { return m_state; }
    // Whether an object read so far held "state".
    bool whole() const { return m_whole; }
    // The LightField bits of the keys the last "state" object read held.
    std::uint32_t state_keys() const { return m_state_keys; }

    void set_name(const std::string& name) { m_name = name; }
    // `always`: the LightField bits of the fields to send even when unchanged.
    void set_desired(const LightState& desired, std::uint32_t always = 0) {
        m_desired = desired;
        m_always = always;
    }

    // Reads a light object: "name", "type", "modelid", "swversion",
    // "productname" and "capabilities" when present, then "state", after which the desired state
    // equals the reported one (nothing sent always) and the light is whole. Anything but an object
    // changes nothing. Throws Json::Error for a value of the wrong type.
    void read(const Json::Value& light);
    // The members read() reads, and the member of the listing of new lights
    // that is no light.
    static constexpr std::string_view kRead[] = {
        "name", "type", "modelid", "swversion", "productname", "capabilities", "state"};
    static constexpr const char* kNotAnItem = "lastscan";

    // {"name": name}.
    Json::Value name_body() const;

    // The state change body (null when nothing differs).
    Json::Value state_body(std::uint16_t transitiontime) const;

private:
    std::string m_name;
    std::optional<std::string> m_type;
    std::optional<std::string> m_productname;
    std::optional<LightCapabilities> m_capabilities;
    std::string m_modelid;
    std::string m_swversion;
    LightState m_state;
    LightState m_desired;
    std::uint32_t m_always = 0;
    std::uint32_t m_state_keys = 0;
    bool m_whole = false;
};

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_LIGHT_IMPL_HPP_
