#ifndef GLOWRIG_HUE_DETAILS_GROUP_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_GROUP_IMPL_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include <cpprest/json.h>

#include "hue/client.hpp"
#include "hue/groups.hpp"

namespace Hue {
namespace details {

// The shared state behind Group handles: the groups resource's client, the
// group's id, name and member ids, the action the bridge last reported and
// the action wanted. Not copyable; not synchronised (callers wait for each task).
class Group_Impl {
public:
    Group_Impl(const Client& client, std::string id);
    Group_Impl(const Group_Impl&) = delete;
    Group_Impl& operator=(const Group_Impl&) = delete;

    const Client& client() const { return m_client; }
    const std::string& id() const { return m_id; }
    const std::string& name() const { return m_name; }
    const std::vector<std::string>& lights() const { return m_lights; }
    const GroupAction& action() const { return m_action; }

    void set_name(const std::string& name) { m_name = name; }
    void set_lights(const std::vector<std::string>& lights) { m_lights = lights; }
    void set_desired(const GroupAction& desired) { m_desired = desired; }

    // Reads a group object: "name", then "lights" (the list is emptied, then
    // refilled), then "action", after which the desired action equals the
    // reported one. Anything but an object, such as an error array, changes
    // nothing. Throws web::json::json_exception for a value of the wrong type.
    void read(const web::json::value& group);

    // The relative paths of this group and of its action, the id encoded as
    // one path segment.
    std::string path() const;
    std::string action_path() const;

    // {"name": name, "lights": [member ids]}.
    web::json::value body() const;

    // The action change body (null when nothing differs).
    web::json::value action_body(std::uint16_t transitiontime) const;

private:
    const Client m_client;
    const std::string m_id;
    std::string m_name;
    std::vector<std::string> m_lights;
    GroupAction m_action;
    GroupAction m_desired;
};

// {"name": name, "lights": [ids as strings, in order]}: the body that creates
// a group and the one that saves it.
web::json::value group_body(const std::string& name, const std::vector<std::string>& lights);

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_GROUP_IMPL_HPP_
