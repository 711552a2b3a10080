#include <algorithm>

#include "json/text.hpp"
#include "sim/routes.hpp"

namespace Sim {
namespace {

using Json::Value;

// A scene as the listing gives it: without its light states, which a bridge
// gives only for the scene alone.
Value listed_scene(const Value& scene) {
    Value listed = scene;
    if (listed.is_object()) listed.erase("lightstates");
    return listed;
}

}  // namespace

Value scenes_listing(const Value& scenes) {
    Value listing = Value::object();
    if (!scenes.is_object()) return listing;
    for (const auto& [id, scene] : Json::as_object(scenes)) listing[id] = listed_scene(scene);
    return listing;
}

Reply route_scenes(BridgeData& data, const Route& route) {
    const Value& scenes = member(data.state, "scenes");
    if (route.rest.empty()) {
        if (route.method == "GET") return json_reply(scenes_listing(scenes));
    } else {
        const std::string& id = route.rest[0];
        if (route.rest.size() > 1 || !Json::has(scenes, id)) return not_available(route.address);
        if (route.method == "GET") return json_reply(Json::at(scenes, id));
    }
    return method_not_available(route);
}

Value recall_scene(BridgeData& data, const Value& scene_id, const Value* members,
                   const std::string& address) {
    const std::string key = address + "/scene";
    const Value& scenes = member(data.state, "scenes");
    if (!scene_id.is_string() || !Json::has(scenes, Json::as_string(scene_id))) {
        return error_element(kInvalidValue, key,
                             "invalid value, " + Json::text(scene_id) + ", for parameter, scene");
    }
    const Value* states = Json::find(Json::at(scenes, Json::as_string(scene_id)), "lightstates");
    Value& lights = member(data.state, "lights");
    if (states != nullptr && states->is_object()) {
        for (const auto& [light, state] : Json::as_object(*states)) {
            if (!Json::has(lights, light)) continue;
            if (members != nullptr &&
                !(members->is_array() &&
                  std::find(members->begin(), members->end(), Value(light)) != members->end())) {
                continue;
            }
            apply_light_state(member(lights[light], "state"), state, "/lights/" + light + "/state");
        }
    }
    return success(key, scene_id);
}

}  // namespace Sim
