#ifndef GLOWRIG_COMMANDS_WATCH_CHANGES_HPP_
#define GLOWRIG_COMMANDS_WATCH_CHANGES_HPP_

#include <string>
#include <vector>

#include "json/value.hpp"

namespace Commands {

// What changed about one light, group or sensor between two copies of it.
struct ResourceChange {
    std::string resource;  // "light", "group" or "sensor"
    std::string id;
    std::string name;     // its "name" as the copy holds it ("" when it has none)
    Json::Value changes;  // object: the state members that differ, with their new values
    bool deleted = false;
};

// The changes between `before` and `after`, two replies of GET {api} (the
// whole state): lights, then groups, then sensors, each by id in the order
// the objects hold them. A resource's state is its "state" member (groups:
// "action" and "state" together); a member that differs or is new is a
// change with its new value, one that is gone a change to null. A resource
// only in `after` brings every member of its state; one only in `before` is
// deleted. Members that are not objects count as empty collections.
std::vector<ResourceChange> changes_between(const Json::Value& before, const Json::Value& after);

// The lights, groups and sensors of `body`, a reply of GET {api} (the whole
// state), in an object as the reply holds them: the other members are
// checked but not kept, as no change is printed of them. Throws as
// Hue::read_json_strict.
Json::Value watched_state(const std::string& body);

// The line of `change` at `time` ("2026-12-08T14:03:07"), without a line end:
// text `TIME light 3 "Kitchen" bri=120 on=false` (values as JSON text) or
// `TIME light 3 "Kitchen" deleted`; with `json` one JSON object holding
// "changes" (or "deleted": true), "id", "name", "resource" and "time".
std::string change_line(const ResourceChange& change, const std::string& time, bool json);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_WATCH_CHANGES_HPP_
