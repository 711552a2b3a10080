#include "hue/fullstate.hpp"

#include "json/value.hpp"

namespace Hue {
namespace {

// The member `key` of `root`, or `none` when it has none. A reference, not a
// copy: the members of a large bridge are most of its state.
const Json::Value& optional_member(const Json::Value& root, const char* key,
                                   const Json::Value& none) {
    const Json::Value* member = Json::find(root, key);
    return member != nullptr ? *member : none;
}

}  // namespace

FullState read_full_state(const Bridge& bridge, const Http::Options& options,
                          const AppIdentity& identity, const Json::Value& root) {
    const Json::Value none = Json::Value::object();
    const Json::Value& rules = optional_member(root, "rules", none);
    const Json::Value& sensors = optional_member(root, "sensors", none);
    const Json::Value& scenes = optional_member(root, "scenes", none);
    auto client = [&](const char* resource) {
        return bridge.make_client(identity, resource, options);
    };
    Rules rule_list = Rules::from_json(client("rules"), rules);
    Sensors sensor_list = Sensors::from_json(client("sensors"), sensors);
    Scenes scene_list = Scenes::from_json(client("scenes"), scenes);
    Schedules schedules = Schedules::from_json(client("schedules"), Json::at(root, "schedules"));
    Groups groups = Groups::from_json(client("groups"), Json::at(root, "groups"));
    Lights lights = Lights::from_json(client("lights"), Json::at(root, "lights"));
    const Json::Value& config = Json::at(root, "config");
    if (!config.is_object()) throw Json::Error("not an object");
    Configuration configuration = Configuration::from_json(client("config"), config);
    return FullState(configuration, lights, groups, schedules, scene_list, sensor_list, rule_list);
}

}  // namespace Hue
