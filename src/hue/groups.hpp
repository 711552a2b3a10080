#ifndef GLOWRIG_HUE_GROUPS_HPP_
#define GLOWRIG_HUE_GROUPS_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <cpprest/json.h>
#include <pplx/pplxtasks.h>

#include "hue/client.hpp"
#include "hue/item_list.hpp"
#include "hue/lights.hpp"

namespace Hue {

namespace details {
class Group_Impl;
}  // namespace details

// Presence bits of GroupAction::flags: which keys the last action object read held.
struct GroupActionField {
    enum : std::uint32_t {
        effect = 0x001,
        alert = 0x002,
        colormode = 0x004,
        xy = 0x008,  // x and y together
        ct = 0x010,
        hue = 0x020,
        sat = 0x040,
        bri = 0x080,
        on = 0x100,
    };
};

// The last state a bridge reports for a group as a whole, or the state wanted
// for it. A plain value record; flags tells which keys the bridge reported.
struct GroupAction : LightFields {
    std::uint32_t flags = 0;  // GroupActionField bits of the last action object read
};

// One group of lights of a bridge. Copies share one state. Callers wait for
// each task before touching the group again.
class Group {
public:
    // REQUIRES: impl is not null.
    explicit Group(std::shared_ptr<details::Group_Impl> impl);

    std::string id() const;
    std::string name() const;
    // The ids of the member lights, in order.
    std::vector<std::string> lights() const;
    // The action the bridge last reported, flags included.
    GroupAction action() const;

    // Replace the stored name or member list; send nothing.
    void set_name(const std::string& name);
    void set_lights(const std::vector<std::string>& lights);

    // Replaces the desired action; sends nothing.
    void set_action(const GroupAction& desired);

    // GET groups/{id}; reads the reply into this group. Error replies are not
    // looked for: an error array is read as an object without keys, leaves
    // the group unchanged and succeeds. Unsent action changes are lost.
    pplx::task<void> refresh();

    // PUT groups/{id} with the stored name and member list, always both.
    pplx::task<void> save();

    // PUT groups/{id}/action with the fields in which the desired action
    // differs from the reported one, plus "transitiontime" when
    // `transitiontime` is not 0. Sends nothing when no field differs.
    pplx::task<void> save_action(std::uint16_t transitiontime);

private:
    std::shared_ptr<details::Group_Impl> m_impl;  // never null
};

// An ordered list of groups plus a copy of the groups resource's client. A
// default-constructed one is empty and holds the placeholder client; nothing
// is ever sent through it.
class Groups : public ItemList<Group> {
public:
    using ItemList<Group>::ItemList;

    // Builds the collection from a JSON object keyed by group id, in key
    // order; no key is skipped. Throws web::json::json_exception when
    // `object` is not an object or a value has a wrong type.
    static Groups from_json(const Client& client, const web::json::value& object);

    // POST groups with {"name": name, "lights": [ids]}; the id the bridge
    // gives the new group is not read.
    pplx::task<void> create(const std::string& name, const std::vector<std::string>& lights) const;

    // DELETE groups/{id}. Fails when the bridge refuses.
    pplx::task<void> remove(const std::string& id) const;
};

}  // namespace Hue

#endif  // GLOWRIG_HUE_GROUPS_HPP_
