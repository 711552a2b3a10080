#include "hue/fullstate.hpp"

namespace Hue {
namespace {

// The member `key` of `root`, or `none` when it has none. A reference, not a
// copy: the members of a large bridge are most of its state.
const web::json::value& optional_member(const web::json::value& root, const char* key,
                                        const web::json::value& none) {
    return root.has_field(key) ? root.at(key) : none;
}

}  // namespace

FullState read_full_state(const Bridge& bridge, const ClientConfig& client_config,
                          const AppIdentity& identity, const web::json::value& root) {
    const web::json::value none = web::json::value::object();
    const web::json::value& rules = optional_member(root, "rules", none);
    const web::json::value& sensors = optional_member(root, "sensors", none);
    const web::json::value& scenes = optional_member(root, "scenes", none);
    auto client = [&](const char* resource) {
        return bridge.make_client(identity, resource, client_config);
    };
    Rules rule_list = Rules::from_json(client("rules"), rules);
    Sensors sensor_list = Sensors::from_json(client("sensors"), sensors);
    Scenes scene_list = Scenes::from_json(client("scenes"), scenes);
    Schedules schedules = Schedules::from_json(client("schedules"), root.at("schedules"));
    Groups groups = Groups::from_json(client("groups"), root.at("groups"));
    Lights lights = Lights::from_json(client("lights"), root.at("lights"));
    const web::json::value& config = root.at("config");
    if (!config.is_object()) throw web::json::json_exception("not an object");
    Configuration configuration = Configuration::from_json(client("config"), config);
    return FullState(configuration, lights, groups, schedules, scene_list, sensor_list, rule_list);
}

}  // namespace Hue
