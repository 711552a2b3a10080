#include "sim/routes.hpp"

namespace Sim {
namespace {

// What a PUT on a sensor's config may change: whether it is on.
bool config_settable(const std::string& key, const Json::Value& value) {
    return key == "on" && value.is_boolean();
}

}  // namespace

Reply route_sensors(BridgeData& data, const Route& route) {
    Json::Value& sensors = member(data.state, "sensors");
    if (route.rest.empty()) {
        if (route.method == "GET") return json_reply(sensors);
        return method_not_available(route);
    }
    const std::string& id = route.rest[0];
    if (!Json::has(sensors, id) || route.rest.size() > 2) return not_available(route.address);
    if (route.rest.size() == 1) {
        if (route.method == "GET") return json_reply(Json::at(sensors, id));
        return method_not_available(route);
    }
    if (route.rest[1] != "config") return not_available(route.address);
    if (route.method == "PUT") {
        return change_members(member(sensors[id], "config"), route.body, route.address,
                              config_settable);
    }
    return method_not_available(route);
}

}  // namespace Sim
