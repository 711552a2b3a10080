#include "hue/event_changes.hpp"

#include <algorithm>
#include <map>
#include <utility>

#include "json/parse.hpp"
#include "json/value.hpp"

namespace Hue {

namespace {

// The kind of resource a collection of the paths holds.
std::optional<std::string> kind_of(std::string_view collection) {
    if (collection == "lights") return std::string("light");
    if (collection == "groups") return std::string("group");
    if (collection == "sensors") return std::string("sensor");
    return std::nullopt;
}

// The id goes into the path of a request: only characters that need no
// escaping there are taken.
bool plain_id(std::string_view id) {
    return !id.empty() && std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               c == '-' || c == '_';
    });
}

// The change "/<collection>/<id>" names, or nullopt.
std::optional<EventChange> change_of(const std::string& path, const std::string& type) {
    if (path.size() < 2 || path.front() != '/') return std::nullopt;
    const std::size_t slash = path.find('/', 1);
    if (slash == std::string::npos) return std::nullopt;
    auto kind = kind_of(std::string_view(path).substr(1, slash - 1));
    const std::string id = path.substr(slash + 1);
    if (!kind || !plain_id(id)) return std::nullopt;
    return EventChange{std::move(*kind), type, id, path};
}

}  // namespace

EventChanges read_event_changes(std::string_view data) {
    EventChanges result;
    // The change of each (type, path) taken so far, by its place in the result.
    std::map<std::pair<std::string, std::string>, std::size_t> named;
    Json::Value containers;
    try {
        containers = Json::parse(data, "the event's data");
    } catch (const Json::ParseError& error) {
        result.skipped = error.what();
        return result;
    }
    if (!containers.is_array()) {
        result.skipped = "the event's data is not an array";
        return result;
    }
    for (const auto& container : containers) {
        const Json::Value* type = Json::find(container, "type");
        const Json::Value* resources = Json::find(container, "data");
        if (!type || !type->is_string() || !resources || !resources->is_array()) continue;
        const std::string& name = type->get_ref<const std::string&>();
        if (name != "update" && name != "add" && name != "delete" && name != "error") continue;
        for (const auto& resource : *resources) {
            const Json::Value* id_v1 = Json::find(resource, "id_v1");
            if (!id_v1 || !id_v1->is_string()) continue;
            auto change = change_of(id_v1->get_ref<const std::string&>(), name);
            if (!change) continue;
            const auto [taken, first] =
                named.emplace(std::make_pair(change->type, change->path), result.changes.size());
            if (first) result.changes.push_back(std::move(*change));
            result.changes[taken->second].items.push_back(resource);
        }
    }
    return result;
}

}  // namespace Hue
