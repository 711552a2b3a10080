#ifndef GLOWRIG_HUE_DETAILS_GROUP_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_GROUP_IMPL_HPP_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hue/details/resource_impl.hpp"
#include "hue/groups.hpp"

namespace Hue {
namespace details {

// The shared state behind Group handles: the group's name and member ids, the
// action the bridge last reported and the action wanted.
class Group_Impl : public Resource_Impl {
public:
    using Resource_Impl::Resource_Impl;

    const std::string& name() const { return m_name; }
    const std::vector<std::string>& lights() const { return m_lights; }
    const GroupAction& action() const { return m_action; }
    const std::optional<bool>& any_on() const { return m_any_on; }
    const std::optional<std::string>& type() const { return m_type; }
    const std::optional<std::string>& group_class() const { return m_class; }
    // Whether an object read so far held both "action" and "lights".
    bool whole() const { return m_whole; }

    void set_name(const std::string& name) { m_name = name; }
    void set_lights(const std::vector<std::string>& lights) { m_lights = lights; }
    // `always`: the LightField bits of the fields to send even when unchanged.
    void set_desired(const GroupAction& desired, std::uint32_t always = 0) {
        m_desired = desired;
        m_always = always;
    }

    // Reads a group object: "name", then "lights" (the list is emptied, then
    // refilled), "type", "class", then "any_on" of its "state", then "action", after which
    // the desired action equals the reported one (nothing sent always); an object holding
    // both "lights" and "action" makes the group whole. An array, such as an error array, changes
    // nothing. Throws Json::Error for anything else that is not an object and for a value of the
    // wrong type.
    void read(const Json::Value& group);
    // The members read() reads.
    static constexpr std::string_view kRead[] = {"name",  "lights", "type",
                                                 "class", "state",  "action"};

    // {"name": name, "lights": [member ids]}.
    Json::Value save_body() const;

    // The action change body (null when nothing differs).
    Json::Value action_body(std::uint16_t transitiontime) const;

private:
    std::string m_name;
    std::vector<std::string> m_lights;
    std::optional<bool> m_any_on;
    std::optional<std::string> m_type;   // "LightGroup", "Room", "Zone", ...
    std::optional<std::string> m_class;  // a room's or zone's kind: "Kitchen", ...
    GroupAction m_action;
    GroupAction m_desired;
    std::uint32_t m_always = 0;
    bool m_whole = false;
};

// {"name": name, "lights": [ids as strings, in order]}: the body that creates
// a group and the one that saves it; with "type" and "class" from `kind`
// where it sets them.
Json::Value group_body(const std::string& name, const std::vector<std::string>& lights,
                       const GroupKind& kind = GroupKind());

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_GROUP_IMPL_HPP_
