#include "sim/routes.hpp"

namespace Sim {
namespace {

using web::json::value;

bool is_id_list(const value& v) {
    if (!v.is_array()) return false;
    for (const auto& id : v.as_array()) {
        if (!id.is_string()) return false;
    }
    return true;
}

Reply create_group(value& groups, const value& body) {
    if (!body.is_object() || !body.has_field("name") || !body.at("name").is_string() ||
        !body.has_field("lights") || !is_id_list(body.at("lights"))) {
        return error_reply(kMissingParameter, "/groups", "invalid/missing parameters in body");
    }
    int next = 1;
    while (groups.has_field(std::to_string(next))) ++next;
    const std::string id = std::to_string(next);
    value group = value::object();
    group["name"] = body.at("name");
    group["lights"] = body.at("lights");
    group["type"] = value::string("LightGroup");
    group["action"] = value::parse(R"({"on":false,"bri":0,"colormode":"hs","hue":0,"sat":0})");
    groups[id] = group;
    value result = value::object();
    result["id"] = value::string(id);
    value element = value::object();
    element["success"] = result;
    return json_reply(value::array({element}));
}

// Group 0, every light of the bridge, which no listing holds. Its action is
// what the first light shows: an action sent to it goes to every light.
value all_lights_group(value& lights) {
    value group = value::object();
    group["name"] = value::string("Group 0");
    group["type"] = value::string("LightGroup");
    value ids = value::array();
    bool all_on = true;
    bool any_on = false;
    std::size_t n = 0;
    for (auto& [id, light] : lights.as_object()) {
        ids[n++] = value::string(id);
        const value& state = member(light, "state");
        const bool on =
            state.has_field("on") && state.at("on").is_boolean() && state.at("on").as_bool();
        all_on = all_on && on;
        any_on = any_on || on;
        if (n == 1) group["action"] = state;
    }
    group["lights"] = ids;
    if (n == 0) group["action"] = value::parse(R"({"on":false,"bri":0})");
    group["state"] = value::object();
    group["state"]["all_on"] = value::boolean(all_on && n > 0);
    group["state"]["any_on"] = value::boolean(any_on);
    return group;
}

Reply route_all_lights(BridgeData& data, const Route& route) {
    value& lights = member(data.state, "lights");
    if (route.rest.size() == 1 && route.method == "GET")
        return json_reply(all_lights_group(lights));
    if (route.rest.size() == 2 && route.rest[1] == "action" && route.method == "PUT") {
        value results = value::array();
        for (auto& entry : lights.as_object()) {
            results = apply_light_state(member(entry.second, "state"), route.body, route.address);
        }
        return json_reply(results);
    }
    return method_not_available(route);
}

}  // namespace

Reply route_groups(BridgeData& data, const Route& route) {
    value& groups = member(data.state, "groups");
    if (route.rest.empty()) {
        if (route.method == "GET") return listing_reply(groups, data.listings);
        if (route.method == "POST") return create_group(groups, route.body);
    } else {
        const std::string& id = route.rest[0];
        if (id == "0") return route_all_lights(data, route);
        if (!groups.has_field(id)) return not_available(route.address);
        value& group = groups[id];
        if (route.rest.size() == 1) {
            if (route.method == "GET") return json_reply(group);
            if (route.method == "PUT") {
                return change_members(group, route.body, route.address,
                                      [](const std::string& key, const value& v) {
                                          return (key == "name" && v.is_string()) ||
                                                 (key == "lights" && is_id_list(v));
                                      });
            }
            if (route.method == "DELETE") {
                groups.erase(id);
                return json_reply(value::array({deleted(route.address)}));
            }
        } else if (route.rest.size() == 2 && route.rest[1] == "action" && route.method == "PUT") {
            return json_reply(
                apply_light_state(member(group, "action"), route.body, route.address));
        }
    }
    return method_not_available(route);
}

}  // namespace Sim
