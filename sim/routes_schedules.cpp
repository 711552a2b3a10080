#include "sim/routes.hpp"

namespace Sim {
namespace {

using Json::Value;

// Members a PUT on a schedule may change, with the JSON type each must have.
bool schedule_settable(const std::string& key, const Value& v) {
    if (key == "name" || key == "description" || key == "time") return v.is_string();
    if (key == "status") return v == "enabled" || v == "disabled";
    return key == "command" && v.is_object();
}

}  // namespace

Reply route_schedules(BridgeData& data, const Route& route) {
    Value& schedules = member(data.state, "schedules");
    if (route.rest.empty()) {
        if (route.method == "GET") return listing_reply(schedules, data.listings);
    } else {
        // A schedule has no sub-resources: anything below one is as unknown as an unknown id.
        const std::string& id = route.rest[0];
        if (route.rest.size() > 1 || !Json::has(schedules, id)) return not_available(route.address);
        if (route.method == "GET") return json_reply(Json::at(schedules, id));
        if (route.method == "PUT")
            return change_members(schedules[id], route.body, route.address, schedule_settable);
        if (route.method == "DELETE") {
            schedules.erase(id);
            return json_reply(Value::array({deleted(route.address)}));
        }
    }
    return method_not_available(route);
}

}  // namespace Sim
