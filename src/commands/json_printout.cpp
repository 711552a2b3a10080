#include "commands/json_printout.hpp"

#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "util/utc_text.hpp"

namespace Commands {
namespace {

using web::json::value;

// `number` with the digits the text printout shows (6 significant ones), so
// that 0.3f reads 0.3 and not 0.30000001192092896.
value shown_number(float number) {
    std::stringstream text;
    text.imbue(std::locale::classic());
    text << number;
    double shown = 0;
    text >> shown;
    return value::number(shown);
}

value json_of(const std::string& text) { return value::string(text); }
value json_of(bool flag) { return value::boolean(flag); }
value json_of(unsigned number) { return value::number(number); }
value json_of(std::uint16_t number) { return value::number(number); }
value json_of(float number) { return shown_number(number); }
value json_of(const std::tm& time) { return value::string(Util::utc_iso_text(time)); }

// The value of `field`, or null when it is absent.
template <class T>
value or_null(const std::optional<T>& field) {
    return field ? json_of(*field) : value::null();
}

// The array of the JSON values of `items`, in order.
template <class Item, class Convert>
value array_of(const std::vector<Item>& items, Convert convert) {
    value list = value::array(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) list[i] = convert(items[i]);
    return list;
}

// A schedule's command is a JSON text read from the bridge; should one not
// parse, it is kept as text.
value command_json(const std::optional<std::string>& command) {
    if (!command) return value::null();
    std::error_code error;
    value parsed = value::parse(*command, error);
    return error ? value::string(*command) : parsed;
}

// "colormode" and the values of the mode; all null without a colour.
void add_color(value& object, const std::optional<ColorPrintout>& color) {
    const ColorPrintout none;
    const ColorPrintout& c = color ? *color : none;
    object["colormode"] = or_null(c.mode);
    object["hue"] = or_null(c.hue);
    object["sat"] = or_null(c.sat);
    object["x"] = or_null(c.x);
    object["y"] = or_null(c.y);
    object["ct"] = or_null(c.ct);
}

value action_json(const ActionPrintout& action) {
    value object = value::object();
    object["on"] = or_null(action.on);
    object["alert"] = or_null(action.alert);
    object["effect"] = or_null(action.effect);
    add_color(object, action.color);
    object["bri"] = or_null(action.bri);
    return object;
}

value light_json(const LightPrintout& light) {
    value object = value::object();
    object["id"] = value::string(light.id);
    object["name"] = value::string(light.name);
    object["modelid"] = or_null(light.modelid);
    object["swversion"] = or_null(light.swversion);
    value state = action_json(light.state);
    state["reachable"] = or_null(light.state.reachable);
    object["state"] = state;
    return object;
}

value group_json(const GroupPrintout& group) {
    value object = value::object();
    object["id"] = value::string(group.id);
    object["name"] = value::string(group.name);
    object["lights"] =
        array_of(group.lights, [](const std::string& id) { return value::string(id); });
    object["laststate"] = action_json(group.laststate);
    return object;
}

value schedule_json(const SchedulePrintout& schedule) {
    value object = value::object();
    object["id"] = value::string(schedule.id);
    object["name"] = value::string(schedule.name);
    object["time"] = or_null(schedule.time);
    object["description"] = value::string(schedule.description);
    object["command"] = command_json(schedule.command);
    object["status"] = or_null(schedule.status);
    return object;
}

value user_json(const WhitelistUserPrintout& user) {
    value object = value::object();
    object["id"] = value::string(user.id);
    object["name"] = value::string(user.name);
    object["create_date"] = json_of(user.create_date);
    object["last_use_date"] = json_of(user.last_use_date);
    return object;
}

value update_json(const FirmwareUpdatePrintout& update) {
    value object = value::object();
    object["updatestate"] = value::number(update.updatestate);
    object["notify"] = value::boolean(update.notify);
    object["url"] = value::string(update.url);
    object["text"] = value::string(update.text);
    return object;
}

value bridge_json(const BridgePrintout& bridge) {
    value object = value::object();
    object["id"] = value::string(bridge.id);
    object["ip"] = value::string(bridge.ip);
    object["port"] = value::number(bridge.port);
    object["scheme"] = value::string(bridge.scheme);
    object["address"] = value::string(bridge.address);
    object["mac"] = or_null(bridge.mac);
    return object;
}

value proxy_json(const std::optional<ProxyPrintout>& proxy) {
    if (!proxy) return value::null();
    value object = value::object();
    object["address"] = value::string(proxy->address);
    object["port"] = value::number(proxy->port);
    return object;
}

// {key: items}.
value document(const char* key, const value& items) {
    value object = value::object();
    object[key] = items;
    return object;
}

}  // namespace

value to_json(const ConfigurationPrintout& configuration) {
    const ConfigurationPrintout& c = configuration;
    value object = value::object();
    object["name"] = or_null(c.name);
    object["linkbutton"] = or_null(c.linkbutton);
    object["proxy"] = proxy_json(c.proxy);
    object["ipaddress"] = or_null(c.ipaddress);
    object["mac"] = or_null(c.mac);
    object["netmask"] = or_null(c.netmask);
    object["gateway"] = or_null(c.gateway);
    object["dhcp"] = or_null(c.dhcp);
    object["portalservices"] = or_null(c.portalservices);
    object["utc"] = or_null(c.utc);
    object["swversion"] = or_null(c.swversion);
    object["swupdate"] = c.swupdate ? update_json(*c.swupdate) : value::null();
    object["whitelist"] = c.whitelist ? array_of(*c.whitelist, user_json) : value::null();
    return object;
}

value to_json(const ConfigPrintout& config) {
    value object = value::object();
    object["result"] = or_null(config.result);
    object["configuration"] = to_json(config.configuration);
    return object;
}

value to_json(const LightsPrintout& lights) {
    return document("lights", array_of(lights.lights, light_json));
}

value to_json(const GroupsPrintout& groups) {
    return document("groups", array_of(groups.groups, group_json));
}

value to_json(const SchedulesPrintout& schedules) {
    return document("schedules", array_of(schedules.schedules, schedule_json));
}

value to_json(const StatePrintout& state) {
    value object = value::object();
    object["configuration"] = to_json(state.configuration);
    object["lights"] = array_of(state.lights.lights, light_json);
    object["groups"] = array_of(state.groups.groups, group_json);
    object["schedules"] = array_of(state.schedules.schedules, schedule_json);
    return object;
}

value to_json(const BridgesPrintout& bridges) {
    return document("bridges", array_of(bridges.bridges, bridge_json));
}

value to_json(const ChangePrintout& change) {
    value object = value::object();
    object["result"] = value::string(change.result);
    object["id"] = or_null(change.id);
    return object;
}

}  // namespace Commands
