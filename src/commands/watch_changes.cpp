#include "commands/watch_changes.hpp"

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

const Json::Value& collection(const Json::Value& state, const char* key) {
    static const Json::Value kNone = Json::Value::object();
    const Json::Value* member = Json::find(state, key);
    return member != nullptr && member->is_object() ? *member : kNone;
}

// The state members of one resource: its "state" and, for a group, its
// "action" with them.
Json::Value state_of(const Json::Value& resource) {
    Json::Value members = Json::Value::object();
    for (const char* key : {"action", "state"}) {
        const Json::Value* part = Json::find(resource, key);
        if (part == nullptr || !part->is_object()) continue;
        for (const auto& [name, value] : part->items()) members[name] = value;
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
                if (differ.empty()) continue;
            }
            changes.push_back({kind.resource, id, name_of(item), std::move(differ), false});
        }
        for (const auto& [id, item] : old_items.items()) {
            if (Json::has(new_items, id)) continue;
            changes.push_back({kind.resource, id, name_of(item), Json::Value::object(), true});
        }
    }
    return changes;
}

Json::Value watched_state(const std::string& body) {
    static const std::vector<std::string_view> kWatched = {"lights", "groups", "sensors"};
    return Hue::reject_errors(Json::parse_members(body, kWatched));
}

std::string change_line(const ResourceChange& change, const std::string& time, bool json) {
    if (json) {
        Json::Value line = Json::Value::object();
        line["time"] = time;
        line["resource"] = change.resource;
        line["id"] = change.id;
        line["name"] = change.name;
        if (change.deleted) {
            line["deleted"] = true;
        } else {
            line["changes"] = change.changes;
        }
        return Json::text(line);
    }
    std::string line =
        time + " " + change.resource + " " + change.id + " " + Json::text(Json::Value(change.name));
    if (change.deleted) return line + " deleted";
    for (const auto& [member, value] : change.changes.items()) {
        line += " " + member + "=" + Json::text(value);
    }
    return line;
}

}  // namespace Commands
