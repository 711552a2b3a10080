#ifndef GLOWRIG_HUE_EVENT_CHANGES_HPP_
#define GLOWRIG_HUE_EVENT_CHANGES_HPP_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "json/value.hpp"

namespace Hue {

// One resource an event names, to be read again.
struct EventChange {
    std::string kind;  // "light", "group" or "sensor"
    std::string type;  // of its container: "update", "add", "delete" or "error"
    std::string id;    // the resource's id, as in "/lights/<id>"
    std::string path;  // the id_v1 as the event gave it: "/lights/3"
    // Every resource of the newer shape the event gives for it (a light and
    // its connectivity, a switch's button), with the properties that changed,
    // in the event's order: an array; not compared.
    Json::Value items = Json::Value::array();

    bool operator==(const EventChange& other) const {
        return kind == other.kind && type == other.type && id == other.id && path == other.path;
    }
};

// What the data of one event names.
struct EventChanges {
    std::vector<EventChange> changes;  // in the order of the event, each once
    // Set when the data as a whole was skipped: not JSON, or not an array.
    std::optional<std::string> skipped;
};

// Reads the data of one event of the bridge's event stream: a JSON array of
// containers, objects with a "type" (update, add, delete, error) and a "data"
// array of resources. A resource is named by its "id_v1", "/lights/<id>",
// "/groups/<id>" or "/sensors/<id>", the id of letters, digits, '-' and '_'.
// Containers of another type or shape, resources without an id_v1 and those
// of other kinds or of another form name nothing. Never throws.
EventChanges read_event_changes(std::string_view data);

}  // namespace Hue

#endif  // GLOWRIG_HUE_EVENT_CHANGES_HPP_
