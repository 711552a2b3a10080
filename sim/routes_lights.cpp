#include <algorithm>
#include <cstdint>

#include "json/text.hpp"
#include "sim/routes.hpp"

namespace Sim {
namespace {

using Json::Value;

bool in_range(const Value& v, int low, int high) {
    return Json::is_integer(v) && Json::as_int64(v) >= low && Json::as_int64(v) <= high;
}

bool valid_xy(const Value& v) {
    if (!v.is_array() || v.size() != 2) return false;
    for (const auto& c : Json::as_array(v)) {
        if (!c.is_number() || Json::as_double(c) < 0 || Json::as_double(c) > 1) return false;
    }
    return true;
}

// Whether `v` is an acceptable value for the state key `key`, and the colour
// mode it switches the light to ("" for none).
bool accept(const std::string& key, const Value& v, std::string& mode) {
    if (key == "on") return v.is_boolean();
    if (key == "bri" || key == "sat") return in_range(v, 0, 255);
    if (key == "hue") return (mode = "hs", in_range(v, 0, 65535));
    if (key == "ct") return (mode = "ct", in_range(v, 153, 500));
    if (key == "xy") return (mode = "xy", valid_xy(v));
    if (key == "alert") {
        return v == "none" || v == "select" || v == "lselect";
    }
    if (key == "effect") {
        return v == "none" || v == "colorloop";
    }
    if (key == "transitiontime") return in_range(v, 0, 65535);
    if (key == "bri_inc") return in_range(v, -254, 254);
    if (key == "ct_inc") return (mode = "ct", in_range(v, -65534, 65534));
    return false;
}

// The member a step changes ("bri_inc" changes "bri"), held to the member's
// range as bridges hold it; other keys are stored as sent.
void store(Value& state, const std::string& key, const Value& v) {
    const auto stepped = [&](const char* member, std::int64_t low, std::int64_t high) {
        const Value* was = Json::find(state, member);
        const std::int64_t from =
            was != nullptr && Json::is_integer(*was) ? Json::as_int64(*was) : low;
        state[member] = std::clamp<std::int64_t>(from + Json::as_int64(v), low, high);
    };
    if (key == "bri_inc") {
        stepped("bri", 1, 254);
    } else if (key == "ct_inc") {
        stepped("ct", 153, 500);
    } else if (key != "transitiontime") {
        state[key] = v;
    }
}

Reply light_item(BridgeData& data, Value& lights, const Route& route) {
    const std::string& id = route.rest[0];
    if (!Json::has(lights, id)) return not_available(route.address);
    Value& light = lights[id];
    if (route.rest.size() == 1) {
        if (route.method == "GET") return json_reply(light);
        if (route.method == "DELETE") {
            lights.erase(id);
            return json_reply(Value::array({deleted(route.address)}));
        }
        if (route.method == "PUT") {
            const Value* name = Json::find(route.body, "name");
            if (name == nullptr || !name->is_string()) {
                return error_reply(kInvalidValue, route.address + "/name",
                                   "invalid value for parameter, name");
            }
            light["name"] = *name;
            return json_reply(Value::array({success(route.address + "/name", *name)}));
        }
    } else if (route.rest.size() == 2 && route.rest[1] == "state" && route.method == "PUT") {
        return json_reply(apply_light_state(member(light, "state"), route.body, route.address));
    }
    (void)data;
    return method_not_available(route);
}

}  // namespace

Value apply_light_state(Value& state, const Value& body, const std::string& address) {
    Value results = Value::array();
    if (!body.is_object()) {
        results.push_back(error_element(kInvalidJson, address, "body contains invalid json"));
        return results;
    }
    const std::string prefix = address + "/";
    for (const auto& [key, v] : Json::as_object(body)) {
        std::string mode;
        if (!accept(key, v, mode)) {
            results.push_back(
                error_element(kInvalidValue, prefix + key,
                              "invalid value, " + Json::text(v) + ", for parameter, " + key));
            continue;
        }
        store(state, key, v);
        if (!mode.empty()) state["colormode"] = mode;
        results.push_back(success(prefix + key, v));
    }
    return results;
}

Reply route_lights(BridgeData& data, const Route& route) {
    Value& lights = member(data.state, "lights");
    if (!route.rest.empty() && route.rest[0] == "new" && route.rest.size() == 1) {
        if (route.method == "GET") return json_reply(data.scan);
    } else if (!route.rest.empty()) {
        return light_item(data, lights, route);
    } else if (route.method == "GET") {
        return listing_reply(lights, data.listings);
    } else if (route.method == "POST") {
        // A search finds every light of the fixture's "newlights" at once.
        data.scan = Value::object();
        for (const auto& [id, light] : Json::as_object(data.new_lights)) {
            lights[id] = light;
            const Value* name = Json::find(light, "name");
            Value entry = Value::object();
            entry["name"] = name != nullptr ? *name : Value(id);
            data.scan[id] = entry;
        }
        data.new_lights = Value::object();
        data.scan["lastscan"] = now_text();
        return json_reply(Value::array({success("/lights", "Searching for new devices")}));
    }
    return method_not_available(route);
}

}  // namespace Sim
