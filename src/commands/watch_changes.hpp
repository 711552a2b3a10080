#ifndef GLOWRIG_COMMANDS_WATCH_CHANGES_HPP_
#define GLOWRIG_COMMANDS_WATCH_CHANGES_HPP_

#include <ctime>
#include <string>
#include <vector>

#include "json/value.hpp"

namespace Commands {

// What happened to one light, group or sensor.
enum class ChangeEvent { added, changed, removed };

// What changed about one light, group or sensor between two copies of it.
struct ResourceChange {
    std::string resource;  // "light", "group" or "sensor"
    std::string id;
    std::string name;     // its "name" as the newer copy holds it ("" when it has none)
    Json::Value changes;  // object: the members that differ, with their new values
    ChangeEvent event = ChangeEvent::changed;
};

// The changes between `before` and `after`, two replies of GET {api} (the
// whole state): lights, then groups, then sensors, each by id in the order
// the objects hold them. A resource's state is its "state" member (groups:
// "action" and "state" together; sensors: "state" with the "battery" and
// "reachable" of their "config"); a member that differs or is new is a
// change with its new value, one that is gone a change to null, and a new
// name is a change of "name"; a "lastupdated" that moves brings the state's
// "buttonevent" with it, changed or not (the same button pressed again). A
// resource only in `after` is added and brings
// every member of its state; one only in `before` is removed. Members that
// are not objects count as empty collections.
std::vector<ResourceChange> changes_between(const Json::Value& before, const Json::Value& after);

// Which changes a watch prints: those of the resource kinds in `resources`
// ("light", "group", "sensor") and of the resources whose id or name is in
// `ids`; an empty list lets every kind, or every resource, through.
struct WatchFilter {
    std::vector<std::string> resources;
    std::vector<std::string> ids;

    bool passes(const ResourceChange& change) const;
};

// The filter of --type and --id, each given as often as wanted and each a
// comma-separated list ("--type=light,group --id=3 --id=Porch"). Throws
// UsageError for a kind other than light, group or sensor, or an empty item.
WatchFilter watch_filter(const std::vector<std::string>& types,
                         const std::vector<std::string>& ids);

// The local time of `when` to the second, with its offset from UTC as the
// time zone (TZ) gives it: "2026-12-08T07:36:20+01:00", "...T06:36:20+00:00".
std::string watch_time(std::time_t when);

// The lights, groups and sensors of `body`, a reply of GET {api} (the whole
// state), in an object as the reply holds them: the other members are
// checked but not kept, as no change is printed of them. Throws as
// Hue::read_json_strict.
Json::Value watched_state(const std::string& body);

// The line of `change` at `time` (watch_time()), without a line end: text
// `TIME light 3 "Kitchen" bri=120 on=false` (values as JSON text, numbers in
// their shortest form), `TIME light 5 "Porch" added bri=10 on=true` or
// `TIME light 5 "Porch" removed`; a sensor's members in words, comma
// separated, without its
// "lastupdated" unless nothing else changed (sensor_values():
// `TIME sensor 7 "Dimmer" button 1 short release`); with `json` one JSON
// object holding
// "changes" (not for a removed one, which has "deleted": true instead),
// "event" ("added", "changed" or "removed"), "id", "name", "resource" and
// "time".
std::string change_line(const ResourceChange& change, const std::string& time, bool json);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_WATCH_CHANGES_HPP_
