#include "sim/routes.hpp"

namespace Sim {
namespace {

using web::json::value;

bool in_range(const value& v, int low, int high) {
    return v.is_integer() && v.as_integer() >= low && v.as_integer() <= high;
}

bool valid_xy(const value& v) {
    if (!v.is_array() || v.size() != 2) return false;
    for (const auto& c : v.as_array()) {
        if (!c.is_number() || c.as_double() < 0 || c.as_double() > 1) return false;
    }
    return true;
}

// Whether `v` is an acceptable value for the state key `key`, and the colour
// mode it switches the light to ("" for none).
bool accept(const std::string& key, const value& v, std::string& mode) {
    if (key == "on") return v.is_boolean();
    if (key == "bri" || key == "sat") return in_range(v, 0, 255);
    if (key == "hue") return (mode = "hs", in_range(v, 0, 65535));
    if (key == "ct") return (mode = "ct", in_range(v, 153, 500));
    if (key == "xy") return (mode = "xy", valid_xy(v));
    if (key == "alert") {
        return v.is_string() &&
               (v.as_string() == "none" || v.as_string() == "select" || v.as_string() == "lselect");
    }
    if (key == "effect") {
        return v.is_string() && (v.as_string() == "none" || v.as_string() == "colorloop");
    }
    if (key == "transitiontime") return in_range(v, 0, 65535);
    return false;
}

Reply light_item(BridgeData& data, value& lights, const Route& route) {
    const std::string& id = route.rest[0];
    if (!lights.has_field(id)) return not_available(route.address);
    value& light = lights[id];
    if (route.rest.size() == 1) {
        if (route.method == "GET") return json_reply(light);
        if (route.method == "DELETE") {
            lights.erase(id);
            return json_reply(value::array({deleted(route.address)}));
        }
        if (route.method == "PUT") {
            if (!route.body.is_object() || !route.body.has_field("name") ||
                !route.body.at("name").is_string()) {
                return error_reply(kInvalidValue, route.address + "/name",
                                   "invalid value for parameter, name");
            }
            light["name"] = route.body.at("name");
            return json_reply(value::array({success(route.address + "/name", light["name"])}));
        }
    } else if (route.rest.size() == 2 && route.rest[1] == "state" && route.method == "PUT") {
        return json_reply(apply_light_state(member(light, "state"), route.body, route.address));
    }
    (void)data;
    return method_not_available(route);
}

}  // namespace

value apply_light_state(value& state, const value& body, const std::string& address) {
    value results = value::array();
    if (!body.is_object()) {
        results[0] = error_element(kInvalidJson, address, "body contains invalid json");
        return results;
    }
    const std::string prefix = address + (address.find("/groups/") == 0 ? "/action/" : "/state/");
    std::size_t n = 0;
    for (const auto& [key, v] : body.as_object()) {
        std::string mode;
        if (!accept(key, v, mode)) {
            results[n++] =
                error_element(kInvalidValue, prefix + key,
                              "invalid value, " + v.serialize() + ", for parameter, " + key);
            continue;
        }
        if (key != "transitiontime") state[key] = v;
        if (!mode.empty()) state["colormode"] = value::string(mode);
        results[n++] = success(prefix + key, v);
    }
    return results;
}

Reply route_lights(BridgeData& data, const Route& route) {
    value& lights = member(data.state, "lights");
    if (!route.rest.empty() && route.rest[0] == "new" && route.rest.size() == 1) {
        if (route.method == "GET") return json_reply(data.scan);
    } else if (!route.rest.empty()) {
        return light_item(data, lights, route);
    } else if (route.method == "GET") {
        return listing_reply(lights, data.listings);
    } else if (route.method == "POST") {
        // A search finds every light of the fixture's "newlights" at once.
        data.scan = value::object();
        for (const auto& [id, light] : data.new_lights.as_object()) {
            lights[id] = light;
            value entry = value::object();
            entry["name"] = light.has_field("name") ? light.at("name") : value::string(id);
            data.scan[id] = entry;
        }
        data.new_lights = value::object();
        data.scan["lastscan"] = value::string(now_text());
        return json_reply(
            value::array({success("/lights", value::string("Searching for new devices"))}));
    }
    return method_not_available(route);
}

}  // namespace Sim
