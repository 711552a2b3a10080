#include <algorithm>
#include <random>
#include <string>

#include "json/text.hpp"
#include "sim/routes.hpp"

namespace Sim {
namespace {

using Json::Value;

// Settings a PUT on config may change, with the JSON type each must have.
bool config_settable(const std::string& key, const Value& v) {
    if (key == "name" || key == "proxyaddress" || key == "ipaddress" || key == "netmask" ||
        key == "gateway" || key == "timezone") {
        return v.is_string();
    }
    if (key == "proxyport") return Json::is_integer(v);
    if (key == "linkbutton" || key == "dhcp" || key == "portalservices") return v.is_boolean();
    return false;
}

Reply change_config(Value& config, const Value& body) {
    if (!body.is_object())
        return error_reply(kInvalidJson, "/config", "body contains invalid json");
    Value results = Value::array();
    for (const auto& [key, v] : Json::as_object(body)) {
        const std::string address = "/config/" + key;
        const Value* update_state = key == "swupdate" ? Json::find(v, "updatestate") : nullptr;
        if (update_state != nullptr && Json::is_integer(*update_state)) {
            member(config, "swupdate")["updatestate"] = *update_state;
            results.push_back(success("/config/swupdate/updatestate", *update_state));
        } else if (config_settable(key, v)) {
            config[key] = v;
            results.push_back(success(address, v));
        } else {
            results.push_back(
                error_element(kInvalidValue, address,
                              "invalid value, " + Json::text(v) + ", for parameter, " + key));
        }
    }
    return json_reply(results);
}

// True for a user name the bridge grants as requested: 10 to 40 ASCII
// letters and digits.
bool is_valid_name(const std::string& name) {
    if (name.size() < 10 || name.size() > 40) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

// A new user name as the bridge generates it: 32 random hex digits.
std::string generated_name() {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    static const char kDigits[] = "0123456789abcdef";
    std::string name;
    for (int i = 0; i < 32; ++i) name += kDigits[generator() % 16];
    return name;
}

}  // namespace

Reply route_config(BridgeData& data, const Route& route) {
    Value& config = member(data.state, "config");
    if (route.rest.empty()) {
        if (route.method == "GET") return json_reply(config);
        if (route.method == "PUT") return change_config(config, route.body);
    } else if (route.rest.size() == 2 && route.rest[0] == "whitelist" && route.method == "DELETE") {
        Value& whitelist = member(config, "whitelist");
        if (!Json::has(whitelist, route.rest[1])) return not_available(route.address);
        whitelist.erase(route.rest[1]);
        return json_reply(Value::array({deleted(route.address)}));
    } else if (route.method == "GET") {
        return not_available(route.address);
    }
    return method_not_available(route);
}

Reply create_user(BridgeData& data, const Value& body) {
    const Value* device_type = Json::find(body, "devicetype");
    if (device_type == nullptr || !device_type->is_string()) {
        return error_reply(kMissingParameter, "/", "invalid/missing parameters in body");
    }
    if (!data.link_button) return error_reply(kLinkButtonNotPressed, "", "link button not pressed");
    Value reply = Value::array();
    std::string user = generated_name();
    if (const Value* requested = Json::find(body, "username")) {
        if (!requested->is_string()) {
            return error_reply(kInvalidValue, "/username", "invalid value for parameter, username");
        }
        const std::string& name = Json::as_string(*requested);
        if (!is_valid_name(name)) {
            reply.push_back(error_element(kInvalidValue, "/username",
                                          "invalid value, " + name + ", for parameter, username"));
        } else if (!data.generate_names) {
            user = name;
        }
    }
    Value entry = Value::object();
    entry["last use date"] = now_text();
    entry["create date"] = now_text();
    entry["name"] = *device_type;
    member(member(data.state, "config"), "whitelist")[user] = entry;
    Value result = Value::object();
    result["username"] = user;
    Value element = Value::object();
    element["success"] = result;
    reply.push_back(element);
    return json_reply(reply);
}

Reply unauthorized_config(const BridgeData& data) {
    Value reply = Value::object();
    if (const Value* config = Json::find(data.state, "config")) {
        for (const char* key : {"name", "swversion", "apiversion", "mac", "bridgeid", "modelid"}) {
            if (const Value* shown = Json::find(*config, key)) reply[key] = *shown;
        }
    }
    return json_reply(reply);
}

}  // namespace Sim
