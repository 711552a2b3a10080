#include "commands/watch_changes.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "commands/sensor_values.hpp"
#include "commands/usage_error.hpp"
#include "hue/client.hpp"
#include "json/parse.hpp"
#include "json/text.hpp"

namespace Commands {
namespace {

struct Kind {
    const char* collection;  // member of the whole state
    const char* resource;    // word of the printed line
};

constexpr Kind kKinds[] = {{"lights", "light"}, {"groups", "group"}, {"sensors", "sensor"}};

// The words of the line for each event.
const char* event_word(ChangeEvent event) {
    switch (event) {
        case ChangeEvent::added:
            return "added";
        case ChangeEvent::removed:
            return "removed";
        default:
            return "changed";
    }
}

// The items of a comma-separated option value, each refused when empty.
void add_items(const std::string& value, const char* option, const std::string& refusal,
               std::vector<std::string>& items) {
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = std::min(value.find(',', start), value.size());
        std::string item = value.substr(start, comma - start);
        if (item.empty()) {
            throw UsageError(std::string("Error: option '") + option + "' must be " + refusal +
                             ".");
        }
        items.push_back(std::move(item));
        if (comma == value.size()) return;
        start = comma + 1;
    }
}

const Json::Value& collection(const Json::Value& state, const char* key) {
    static const Json::Value kNone = Json::Value::object();
    const Json::Value* member = Json::find(state, key);
    return member != nullptr && member->is_object() ? *member : kNone;
}

// The state members of one resource: its "state" and, for a group, its
// "action" with them; for a sensor its battery and reachability, which its
// "config" holds.
Json::Value state_of(const Json::Value& resource) {
    Json::Value members = Json::Value::object();
    for (const char* key : {"action", "state"}) {
        const Json::Value* part = Json::find(resource, key);
        if (part == nullptr || !part->is_object()) continue;
        for (const auto& [name, value] : part->items()) members[name] = value;
    }
    if (const Json::Value* config = Json::find(resource, "config")) {
        for (const char* key : {"battery", "reachable"}) {
            if (const Json::Value* value = Json::find(*config, key)) members[key] = *value;
        }
    }
    return members;
}

std::string name_of(const Json::Value& resource) {
    const Json::Value* name = Json::find(resource, "name");
    return name != nullptr && name->is_string() ? name->get<std::string>() : std::string();
}

}  // namespace

std::vector<ResourceChange> changes_between(const Json::Value& before, const Json::Value& after) {
    std::vector<ResourceChange> changes;
    for (const Kind& kind : kKinds) {
        const Json::Value& old_items = collection(before, kind.collection);
        const Json::Value& new_items = collection(after, kind.collection);
        for (const auto& [id, item] : new_items.items()) {
            const Json::Value* old_item = Json::find(old_items, id);
            if (old_item != nullptr && *old_item == item) continue;
            const Json::Value now = state_of(item);
            Json::Value differ = Json::Value::object();
            const std::string name = name_of(item);
            if (old_item == nullptr) {
                differ = now;
            } else {
                const Json::Value was = state_of(*old_item);
                for (const auto& [member, value] : now.items()) {
                    const Json::Value* old_value = Json::find(was, member);
                    if (old_value == nullptr || *old_value != value) differ[member] = value;
                }
                for (const auto& [member, value] : was.items()) {
                    if (!Json::has(now, member)) differ[member] = nullptr;
                }
                if (name != name_of(*old_item)) differ["name"] = name;
                // A switch pressed the same way again moves only its time: the
                // press is a change all the same.
                const Json::Value* button = Json::find(now, "buttonevent");
                if (button != nullptr && Json::has(differ, "lastupdated")) {
                    differ["buttonevent"] = *button;
                }
                if (differ.empty()) continue;
            }
            changes.push_back({kind.resource, id, name, std::move(differ),
                               old_item == nullptr ? ChangeEvent::added : ChangeEvent::changed});
        }
        for (const auto& [id, item] : old_items.items()) {
            if (Json::has(new_items, id)) continue;
            changes.push_back(
                {kind.resource, id, name_of(item), Json::Value::object(), ChangeEvent::removed});
        }
    }
    return changes;
}

Json::Value watched_state(const std::string& body) {
    static const std::vector<std::string_view> kWatched = {"lights", "groups", "sensors"};
    return Hue::reject_errors(Json::parse_members(body, kWatched));
}

bool WatchFilter::passes(const ResourceChange& change) const {
    const auto among = [](const std::vector<std::string>& list, const std::string& word) {
        return std::find(list.begin(), list.end(), word) != list.end();
    };
    return (resources.empty() || among(resources, change.resource)) &&
           (ids.empty() || among(ids, change.id) || among(ids, change.name));
}

WatchFilter watch_filter(const std::vector<std::string>& types,
                         const std::vector<std::string>& ids) {
    WatchFilter filter;
    for (const std::string& value : types) {
        add_items(value, "type", "light, group or sensor", filter.resources);
    }
    for (const std::string& type : filter.resources) {
        if (std::none_of(std::begin(kKinds), std::end(kKinds),
                         [&](const Kind& kind) { return type == kind.resource; })) {
            throw UsageError("Error: option 'type' must be light, group or sensor.");
        }
    }
    for (const std::string& value : ids) add_items(value, "id", "an id or a name", filter.ids);
    return filter;
}

std::string watch_time(std::time_t when) {
    std::tm parts{};
    localtime_r(&when, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    // tm_gmtoff: seconds east of UTC, as the zone in force at `when` has it.
    const long minutes = std::labs(parts.tm_gmtoff) / 60;
    char offset[32];  // room for any tm_gmtoff, as the compiler checks it
    std::snprintf(offset, sizeof offset, "%c%02ld:%02ld", parts.tm_gmtoff < 0 ? '-' : '+',
                  minutes / 60, minutes % 60);
    return std::string(text) + offset;
}

std::string change_line(const ResourceChange& change, const std::string& time, bool json) {
    constexpr Json::Numbers kShortest = Json::Numbers::shortest;
    const bool removed = change.event == ChangeEvent::removed;
    if (json) {
        Json::Value line = Json::Value::object();
        line["time"] = time;
        line["resource"] = change.resource;
        line["id"] = change.id;
        line["name"] = change.name;
        line["event"] = event_word(change.event);
        // "deleted" as the first releases wrote a removal, for the scripts
        // that read it.
        if (removed) {
            line["deleted"] = true;
        } else {
            line["changes"] = change.changes;
        }
        return Json::text(line, kShortest);
    }
    std::string line =
        time + " " + change.resource + " " + change.id + " " + Json::text(Json::Value(change.name));
    if (change.event != ChangeEvent::changed) line += std::string(" ") + event_word(change.event);
    // A sensor's values in words, its time left to the line's own, unless
    // the time is all that changed.
    if (change.resource == "sensor") {
        const std::vector<SensorValue> values = sensor_values(change.changes);
        for (std::size_t i = 0; i < values.size(); ++i) {
            line += (i == 0 ? " " : ", ") + values[i].word;
        }
        if (!values.empty()) return line;
    }
    for (const auto& [member, value] : change.changes.items()) {
        line += " " + member + "=" + Json::text(value, kShortest);
    }
    return line;
}

}  // namespace Commands
