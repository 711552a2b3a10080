#include "json/parse.hpp"
#include "json/text.hpp"
#include "sim/routes.hpp"

namespace Sim {
namespace {

using Json::Value;

bool is_id_list(const Value& v) {
    if (!v.is_array()) return false;
    for (const auto& id : Json::as_array(v)) {
        if (!id.is_string()) return false;
    }
    return true;
}

// The classes a room or zone may have.
bool known_class(const Value& v) {
    static const char* const kClasses[] = {
        "Living room", "Kitchen", "Dining",   "Bedroom", "Kids bedroom", "Bathroom",   "Nursery",
        "Recreation",  "Office",  "Gym",      "Hallway", "Toilet",       "Front door", "Garage",
        "Terrace",     "Garden",  "Driveway", "Carport", "Other"};
    if (!v.is_string()) return false;
    for (const char* known : kClasses) {
        if (Json::as_string(v) == known) return true;
    }
    return false;
}

// Whether one of `lights` is in a room other than group `id`: a light is in
// one room at most.
bool in_another_room(const Value& groups, const Value& lights, const std::string& id) {
    for (const auto& [other, group] : Json::as_object(groups)) {
        const Value* type = Json::find(group, "type");
        const Value* members = Json::find(group, "lights");
        if (other == id || type == nullptr || *type != "Room" || members == nullptr) continue;
        for (const auto& light : Json::as_array(lights)) {
            for (const auto& member : Json::as_array(*members)) {
                if (member == light) return true;
            }
        }
    }
    return false;
}

// The error a bridge gives for a value of `key` it does not take.
Reply invalid_value(const std::string& address, const std::string& key, const Value& v) {
    return error_reply(kInvalidValue, address + "/" + key,
                       "invalid value, " + Json::text(v) + ", for parameter, " + key);
}

Reply create_group(Value& groups, const Value& body) {
    const Value* name = Json::find(body, "name");
    const Value* lights = Json::find(body, "lights");
    if (name == nullptr || !name->is_string() || lights == nullptr || !is_id_list(*lights)) {
        return error_reply(kMissingParameter, "/groups", "invalid/missing parameters in body");
    }
    const Value type = Json::has(body, "type") ? Json::at(body, "type") : Value("LightGroup");
    if (type != "LightGroup" && type != "Room" && type != "Zone") {
        return invalid_value("/groups", "type", type);
    }
    const Value* group_class = Json::find(body, "class");
    if (group_class != nullptr && (type == "LightGroup" || !known_class(*group_class))) {
        return invalid_value("/groups", "class", *group_class);
    }
    if (type == "Room" && in_another_room(groups, *lights, std::string())) {
        return invalid_value("/groups", "lights", *lights);
    }
    int next = 1;
    while (Json::has(groups, std::to_string(next))) ++next;
    const std::string id = std::to_string(next);
    Value group = Value::object();
    group["name"] = *name;
    group["lights"] = *lights;
    group["type"] = type;
    // A bridge gives a room without a class the class "Other".
    if (group_class != nullptr || type == "Room") {
        group["class"] = group_class != nullptr ? *group_class : Value("Other");
    }
    group["action"] = Json::parse(R"({"on":false,"bri":0,"colormode":"hs","hue":0,"sat":0})");
    groups[id] = group;
    Value result = Value::object();
    result["id"] = id;
    Value element = Value::object();
    element["success"] = result;
    return json_reply(Value::array({element}));
}

// Group 0, every light of the bridge, which no listing holds. Its action is
// what the first light shows: an action sent to it goes to every light.
Value all_lights_group(Value& lights) {
    Value group = Value::object();
    group["name"] = "Group 0";
    group["type"] = "LightGroup";
    Value ids = Value::array();
    bool all_on = true;
    bool any_on = false;
    for (auto& [id, light] : lights.get_ref<Value::object_t&>()) {
        ids.push_back(id);
        const Value& state = member(light, "state");
        const Value* on_value = Json::find(state, "on");
        const bool on = on_value != nullptr && on_value->is_boolean() && Json::as_bool(*on_value);
        all_on = all_on && on;
        any_on = any_on || on;
        if (ids.size() == 1) group["action"] = state;
    }
    const bool none = ids.empty();
    group["lights"] = std::move(ids);
    if (none) group["action"] = Json::parse(R"({"on":false,"bri":0})");
    group["state"] = Value::object();
    group["state"]["all_on"] = all_on && !none;
    group["state"]["any_on"] = any_on;
    return group;
}

// The action `body` of a group without its "scene", which is recalled on its
// own; `body` itself when it has none.
Value without_scene(const Value& body) {
    if (!Json::has(body, "scene")) return body;
    Value rest = body;
    rest.erase("scene");
    return rest;
}

// The scene recall's element, when `body` asks for one, before `results`.
Value with_recall(BridgeData& data, const Value& body, const Value* members,
                  const std::string& address, Value results) {
    const Value* scene = Json::find(body, "scene");
    if (scene == nullptr) return results;
    Value all = Value::array({recall_scene(data, *scene, members, address)});
    for (auto& element : results.get_ref<Value::array_t&>()) all.push_back(std::move(element));
    return all;
}

// An action sent to a group reaches each of its lights the bridge has, as
// bridges carry it out: each takes the action's valid state members.
void apply_to_members(BridgeData& data, const Value& members, const Value& action) {
    Value& lights = member(data.state, "lights");
    if (!members.is_array()) return;
    for (const auto& id : Json::as_array(members)) {
        if (!id.is_string() || !Json::has(lights, Json::as_string(id))) continue;
        const std::string light = Json::as_string(id);
        apply_light_state(member(lights[light], "state"), action, "/lights/" + light + "/state");
    }
}

Reply route_all_lights(BridgeData& data, const Route& route) {
    Value& lights = member(data.state, "lights");
    if (route.rest.size() == 1 && route.method == "GET")
        return json_reply(all_lights_group(lights));
    if (route.rest.size() == 2 && route.rest[1] == "action" && route.method == "PUT") {
        const Value rest = without_scene(route.body);
        Value results = Value::array();
        if (!rest.empty() || !Json::has(route.body, "scene")) {
            for (auto& entry : lights.get_ref<Value::object_t&>()) {
                results = apply_light_state(member(entry.second, "state"), rest, route.address);
            }
        }
        return json_reply(with_recall(data, route.body, nullptr, route.address, results));
    }
    return method_not_available(route);
}

}  // namespace

Reply route_groups(BridgeData& data, const Route& route) {
    Value& groups = member(data.state, "groups");
    if (route.rest.empty()) {
        if (route.method == "GET") return listing_reply(groups, data.listings);
        if (route.method == "POST") return create_group(groups, route.body);
    } else {
        const std::string& id = route.rest[0];
        if (id == "0") return route_all_lights(data, route);
        if (!Json::has(groups, id)) return not_available(route.address);
        Value& group = groups[id];
        if (route.rest.size() == 1) {
            if (route.method == "GET") return json_reply(group);
            if (route.method == "PUT") {
                return change_members(group, route.body, route.address,
                                      [&](const std::string& key, const Value& v) {
                                          if (key == "lights" && is_id_list(v)) {
                                              const Value* type = Json::find(group, "type");
                                              return type == nullptr || *type != "Room" ||
                                                     !in_another_room(groups, v, id);
                                          }
                                          return key == "name" && v.is_string();
                                      });
            }
            if (route.method == "DELETE") {
                groups.erase(id);
                return json_reply(Value::array({deleted(route.address)}));
            }
        } else if (route.rest.size() == 2 && route.rest[1] == "action" && route.method == "PUT") {
            const Value rest = without_scene(route.body);
            Value results = Value::array();
            const Value members = Json::has(group, "lights") ? group["lights"] : Value::array();
            if (!rest.empty() || !Json::has(route.body, "scene")) {
                results = apply_light_state(member(group, "action"), rest, route.address);
                apply_to_members(data, members, rest);
            }
            return json_reply(with_recall(data, route.body, &members, route.address, results));
        }
    }
    return method_not_available(route);
}

}  // namespace Sim
