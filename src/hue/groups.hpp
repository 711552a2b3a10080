#ifndef GLOWRIG_HUE_GROUPS_HPP_
#define GLOWRIG_HUE_GROUPS_HPP_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hue/client.hpp"
#include "hue/item_list.hpp"
#include "hue/lights.hpp"
#include "json/value_fwd.hpp"

namespace Hue {

namespace details {
class Group_Impl;
}  // namespace details

// The id of the group of every light of a bridge.
constexpr const char* kAllLights = "0";

// Presence bits of GroupAction::flags: which keys the last action object read held.
using GroupActionField = LightField;

// The last state a bridge reports for a group as a whole, or the state wanted
// for it. A plain value record; flags tells which keys the bridge reported.
struct GroupAction : LightFields {
    std::uint32_t flags = 0;  // GroupActionField bits of the last action object read
};

// What kind of group Groups::create makes: its "type" ("LightGroup", "Room"
// or "Zone") and its "class" (the kind of room: "Kitchen", ...). Each is sent
// only when set; the bridge makes a plain group of one without either.
struct GroupKind {
    std::optional<std::string> type;
    std::optional<std::string> group_class;
};

// One group of lights of a bridge. Copies share one state. Not safe for
// concurrent use.
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
    // Whether any of its lights is on ("state": {"any_on"}), when reported.
    std::optional<bool> any_on() const;
    // Its kind ("Room", "Zone", "LightGroup", "Entertainment", ...) and, for a
    // room or zone, its class ("Kitchen"), when reported.
    std::optional<std::string> type() const;
    std::optional<std::string> group_class() const;

    // Replace the stored name or member list; send nothing.
    void set_name(const std::string& name);
    void set_lights(const std::vector<std::string>& lights);

    // True once an object read into this group held its "action" and
    // "lights": the group is known whole (a listing of current firmware gives
    // every group so) and need not be read again before it is changed or
    // printed. False while only its name is known, as from old firmware.
    bool whole() const;

    // Replaces the desired action (its flags are not looked at); sends
    // nothing. The LightField bits of `always` name fields that save_action
    // sends whatever the reported action says: a group's action is the last
    // command sent to it, not the state of its lights.
    void set_action(const GroupAction& desired, std::uint32_t always = 0);

    // GET groups/{id}; reads the reply into this group. Error replies are not
    // looked for: an error array is read as an object without keys, leaves
    // the group unchanged and succeeds. Unsent action changes are lost.
    void refresh();

    // PUT groups/{id} with the stored name and member list, always both.
    void save();

    // PUT groups/{id}/action with the fields in which the desired action
    // differs from the reported one and those set_action named always, plus
    // "transitiontime" when `transitiontime` is not 0. Sends nothing when
    // there is no such field.
    void save_action(std::uint16_t transitiontime);

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
    // order; no key is skipped. Throws Json::Error when `object` is not an
    // object or a value has a wrong type.
    static Groups from_json(const Client& client, const Json::Value& object);

    // POST groups with {"name": name, "lights": [ids]} and what `kind` sets;
    // returns the id the bridge gives the new group (the text "id" of the
    // first success element holding one), or nullopt when the reply names none.
    std::optional<std::string> create(const std::string& name,
                                      const std::vector<std::string>& lights,
                                      const GroupKind& kind = GroupKind()) const;

    // Group 0, which every bridge has and no listing holds: all its lights.
    // Nothing is known of it until it is refreshed.
    Group all_lights() const;

    // DELETE groups/{id}. Fails when the bridge refuses.
    void remove(const std::string& id) const;

    // PUT groups/{group}/action {"scene": scene}: the bridge sets the lights
    // of the scene that are in the group (every one for group 0) as the
    // scene stores them. Fails when the bridge refuses.
    void recall_scene(const std::string& group, const std::string& scene) const;
};

}  // namespace Hue

#endif  // GLOWRIG_HUE_GROUPS_HPP_
