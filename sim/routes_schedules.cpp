#include "sim/routes.hpp"

namespace sim {
namespace {

using web::json::value;

bool settable(const std::string& key, const value& v) {
    if (key == "name" || key == "description" || key == "time" || key == "status") {
        return v.is_string();
    }
    return key == "command" && v.is_object();
}

Reply change_schedule(value& schedule, const Route& route) {
    if (!route.body.is_object()) {
        return error_reply(kInvalidJson, route.address, "body contains invalid json");
    }
    value results = value::array();
    std::size_t n = 0;
    for (const auto& [key, v] : route.body.as_object()) {
        const std::string address = route.address + "/" + key;
        if (settable(key, v)) {
            schedule[key] = v;
            results[n++] = success(address, v);
        } else {
            results[n++] =
                error_element(kInvalidValue, address,
                              "invalid value, " + v.serialize() + ", for parameter, " + key);
        }
    }
    return json_reply(results);
}

}  // namespace

Reply route_schedules(BridgeData& data, const Route& route) {
    value& schedules = member(data.state, "schedules");
    if (route.rest.empty()) {
        if (route.method == "GET") return json_reply(schedules);
    } else {
        // A schedule has no sub-resources: anything below one is as unknown as an unknown id.
        const std::string& id = route.rest[0];
        if (route.rest.size() > 1 || !schedules.has_field(id)) return not_available(route.address);
        if (route.method == "GET") return json_reply(schedules.at(id));
        if (route.method == "PUT") return change_schedule(schedules[id], route);
        if (route.method == "DELETE") {
            schedules.erase(id);
            return json_reply(value::array({deleted(route.address)}));
        }
    }
    return method_not_available(route);
}

}  // namespace sim
