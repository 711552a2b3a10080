#include "sim/routes.hpp"

namespace Sim {

Reply route_sensors(BridgeData& data, const Route& route) {
    const Json::Value& sensors = member(data.state, "sensors");
    if (route.method == "GET" && route.rest.empty()) return json_reply(sensors);
    if (route.method == "GET" && route.rest.size() == 1 && Json::has(sensors, route.rest[0])) {
        return json_reply(Json::at(sensors, route.rest[0]));
    }
    return not_available(route.address);
}

}  // namespace Sim
