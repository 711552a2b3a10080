#include <algorithm>
#include <random>
#include <string>

#include "sim/routes.hpp"

namespace Sim {
namespace {

using web::json::value;

// Settings a PUT on config may change, with the JSON type each must have.
bool config_settable(const std::string& key, const value& v) {
    if (key == "name" || key == "proxyaddress" || key == "ipaddress" || key == "netmask" ||
        key == "gateway" || key == "timezone") {
        return v.is_string();
    }
    if (key == "proxyport") return v.is_integer();
    if (key == "linkbutton" || key == "dhcp" || key == "portalservices") return v.is_boolean();
    return false;
}

Reply change_config(value& config, const value& body) {
    if (!body.is_object())
        return error_reply(kInvalidJson, "/config", "body contains invalid json");
    value results = value::array();
    std::size_t n = 0;
    for (const auto& [key, v] : body.as_object()) {
        const std::string address = "/config/" + key;
        if (key == "swupdate" && v.is_object() && v.has_field("updatestate") &&
            v.at("updatestate").is_integer()) {
            member(config, "swupdate")["updatestate"] = v.at("updatestate");
            results[n++] = success("/config/swupdate/updatestate", v.at("updatestate"));
        } else if (config_settable(key, v)) {
            config[key] = v;
            results[n++] = success(address, v);
        } else {
            results[n++] =
                error_element(kInvalidValue, address,
                              "invalid value, " + v.serialize() + ", for parameter, " + key);
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
    value& config = member(data.state, "config");
    if (route.rest.empty()) {
        if (route.method == "GET") return json_reply(config);
        if (route.method == "PUT") return change_config(config, route.body);
    } else if (route.rest.size() == 2 && route.rest[0] == "whitelist" && route.method == "DELETE") {
        value& whitelist = member(config, "whitelist");
        if (!whitelist.has_field(route.rest[1])) return not_available(route.address);
        whitelist.erase(route.rest[1]);
        return json_reply(value::array({deleted(route.address)}));
    } else if (route.method == "GET") {
        return not_available(route.address);
    }
    return method_not_available(route);
}

Reply create_user(BridgeData& data, const value& body) {
    if (!body.is_object() || !body.has_field("devicetype") || !body.at("devicetype").is_string()) {
        return error_reply(kMissingParameter, "/", "invalid/missing parameters in body");
    }
    if (!data.link_button) return error_reply(kLinkButtonNotPressed, "", "link button not pressed");
    value reply = value::array();
    std::string user = generated_name();
    if (body.has_field("username")) {
        const value& requested = body.at("username");
        if (!requested.is_string()) {
            return error_reply(kInvalidValue, "/username", "invalid value for parameter, username");
        }
        if (!is_valid_name(requested.as_string())) {
            reply[0] = error_element(
                kInvalidValue, "/username",
                "invalid value, " + requested.as_string() + ", for parameter, username");
        } else if (!data.generate_names) {
            user = requested.as_string();
        }
    }
    value entry = value::object();
    entry["last use date"] = value::string(now_text());
    entry["create date"] = value::string(now_text());
    entry["name"] = body.at("devicetype");
    member(member(data.state, "config"), "whitelist")[user] = entry;
    value result = value::object();
    result["username"] = value::string(user);
    value element = value::object();
    element["success"] = result;
    reply[reply.size()] = element;
    return json_reply(reply);
}

Reply unauthorized_config(const BridgeData& data) {
    value reply = value::object();
    if (data.state.has_field("config")) {
        const value& config = data.state.at("config");
        for (const char* key : {"name", "swversion", "apiversion", "mac", "bridgeid", "modelid"}) {
            if (config.has_field(key)) reply[key] = config.at(key);
        }
    }
    return json_reply(reply);
}

}  // namespace Sim
