#include "commands/json_printout.hpp"

#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "json/parse.hpp"
#include "json/text.hpp"
#include "json/value.hpp"
#include "util/utc_text.hpp"

namespace Commands {
namespace {

using Json::Value;

// `number` with the digits the text printout shows (6 significant ones), so
// that 0.3f reads 0.3 and not 0.30000001192092896.
Value shown_number(float number) {
    std::stringstream text;
    text.imbue(std::locale::classic());
    text << number;
    double shown = 0;
    text >> shown;
    return Value(shown);
}

Value json_of(const std::string& text) { return Value(text); }
Value json_of(bool flag) { return Value(flag); }
Value json_of(unsigned number) { return Value(number); }
Value json_of(std::uint16_t number) { return Value(number); }
Value json_of(float number) { return shown_number(number); }
Value json_of(const std::tm& time) { return Value(Util::utc_iso_text(time)); }
// A corner of a colour triangle, to the four decimals bridges give them in.
Value json_of(const PointPrintout& point) {
    return Value::array({Json::decimal(point.x, 4), Json::decimal(point.y, 4)});
}
Value json_of(const MiredRangePrintout& range) {
    Value object = Value::object();
    object["min"] = Value(range.min);
    object["max"] = Value(range.max);
    return object;
}
Value json_of(const std::vector<PointPrintout>& points) {
    Value list = Value::array();
    for (const auto& point : points) list.push_back(json_of(point));
    return list;
}
Value json_of(const CapabilitiesPrintout& capabilities);

// The value of `field`, or null when it is absent.
template <class T>
Value or_null(const std::optional<T>& field) {
    return field ? json_of(*field) : Value();
}

// The array of the JSON values of `items`, in order.
template <class Item, class Convert>
Value array_of(const std::vector<Item>& items, Convert convert) {
    Value list = Value::array();
    auto& elements = list.get_ref<Value::array_t&>();
    elements.reserve(items.size());
    for (const auto& item : items) elements.push_back(convert(item));
    return list;
}

// The array of `ids`, as texts.
Value ids_json(const std::vector<std::string>& ids) {
    return array_of(ids, [](const std::string& id) { return Value(id); });
}

// A schedule's command is a JSON text read from the bridge; should one not
// parse, it is kept as text.
Value command_json(const std::optional<std::string>& command) {
    if (!command) return Value();
    try {
        return Json::parse(*command);
    } catch (const Json::ParseError&) {
        return Value(*command);
    }
}

// "colormode" and the values of the mode; all null without a colour.
void add_color(Value& object, const std::optional<ColorPrintout>& color) {
    const ColorPrintout none;
    const ColorPrintout& c = color ? *color : none;
    object["colormode"] = or_null(c.mode);
    object["hue"] = or_null(c.hue);
    object["sat"] = or_null(c.sat);
    object["x"] = or_null(c.x);
    object["y"] = or_null(c.y);
    object["ct"] = or_null(c.ct);
}

Value action_json(const ActionPrintout& action) {
    Value object = Value::object();
    object["on"] = or_null(action.on);
    object["alert"] = or_null(action.alert);
    object["effect"] = or_null(action.effect);
    add_color(object, action.color);
    object["bri"] = or_null(action.bri);
    return object;
}

Value json_of(const CapabilitiesPrintout& capabilities) {
    Value object = Value::object();
    object["colorgamut"] = or_null(capabilities.colorgamut);
    object["ctrange"] = or_null(capabilities.ctrange);
    return object;
}

Value light_json(const LightPrintout& light) {
    Value object = Value::object();
    object["id"] = Value(light.id);
    object["name"] = Value(light.name);
    object["modelid"] = or_null(light.modelid);
    object["swversion"] = or_null(light.swversion);
    object["type"] = or_null(light.type);
    object["productname"] = or_null(light.productname);
    object["capabilities"] = or_null(light.capabilities);
    Value state = action_json(light.state);
    state["reachable"] = or_null(light.state.reachable);
    object["state"] = state;
    return object;
}

Value group_json(const GroupPrintout& group) {
    Value object = Value::object();
    object["id"] = Value(group.id);
    object["name"] = Value(group.name);
    object["lights"] = ids_json(group.lights);
    object["laststate"] = action_json(group.laststate);
    object["type"] = or_null(group.type);
    object["class"] = or_null(group.group_class);
    return object;
}

Value schedule_json(const SchedulePrintout& schedule) {
    Value object = Value::object();
    object["id"] = Value(schedule.id);
    object["name"] = Value(schedule.name);
    object["time"] = or_null(schedule.time);
    object["description"] = Value(schedule.description);
    object["command"] = command_json(schedule.command);
    object["status"] = or_null(schedule.status);
    return object;
}

Value scene_json(const ScenePrintout& scene) {
    Value object = Value::object();
    object["id"] = Value(scene.id);
    object["name"] = Value(scene.name);
    object["group"] = or_null(scene.group);
    object["lights"] = ids_json(scene.lights);
    object["lastupdated"] = or_null(scene.lastupdated);
    if (scene.dynamic) object["dynamic"] = Value(*scene.dynamic);
    return object;
}

Value smart_scene_json(const SmartScenePrintout& smart) {
    Value object = Value::object();
    object["id"] = Value(smart.id);
    object["name"] = Value(smart.name);
    object["state"] = Value(smart.state);
    return object;
}

// A decoded measure, to the hundredth it is shown to.
Value measure(const std::optional<double>& number) {
    return number ? Json::decimal(*number, 2) : Value();
}

Value sensor_json(const SensorPrintout& sensor) {
    Value values = Value::object();
    values["presence"] = or_null(sensor.presence);
    values["celsius"] = measure(sensor.celsius);
    values["lux"] = measure(sensor.lux);
    values["dark"] = or_null(sensor.dark);
    values["daylight"] = or_null(sensor.daylight);
    values["button"] = sensor.button ? Value(sensor.button->button) : Value();
    values["action"] = sensor.button ? Value(sensor.button->action) : Value();
    Value config = Value::object();
    config["on"] = or_null(sensor.on);
    config["battery"] = sensor.battery ? Value(*sensor.battery) : Value();
    config["reachable"] = or_null(sensor.reachable);
    Value object = Value::object();
    object["id"] = Value(sensor.id);
    object["name"] = Value(sensor.name);
    object["type"] = Value(sensor.type);
    object["modelid"] = Value(sensor.modelid);
    object["swversion"] = Value(sensor.swversion);
    object["state"] = sensor.state.empty() ? Value::object() : Json::parse(sensor.state);
    object["values"] = values;
    object["lastupdated"] = or_null(sensor.lastupdated);
    object["config"] = config;
    return object;
}

Value user_json(const WhitelistUserPrintout& user) {
    Value object = Value::object();
    object["id"] = Value(user.id);
    object["name"] = Value(user.name);
    object["create_date"] = json_of(user.create_date);
    object["last_use_date"] = json_of(user.last_use_date);
    return object;
}

Value update_json(const FirmwareUpdatePrintout& update) {
    Value object = Value::object();
    object["updatestate"] = Value(update.updatestate);
    object["notify"] = Value(update.notify);
    object["url"] = Value(update.url);
    object["text"] = Value(update.text);
    return object;
}

Value bridge_json(const BridgePrintout& bridge) {
    Value object = Value::object();
    object["id"] = Value(bridge.id);
    object["ip"] = Value(bridge.ip);
    object["port"] = Value(bridge.port);
    object["scheme"] = Value(bridge.scheme);
    object["address"] = Value(bridge.address);
    object["mac"] = or_null(bridge.mac);
    return object;
}

Value proxy_json(const std::optional<ProxyPrintout>& proxy) {
    if (!proxy) return Value();
    Value object = Value::object();
    object["address"] = Value(proxy->address);
    object["port"] = Value(proxy->port);
    return object;
}

// {key: items}.
Value document(const char* key, const Value& items) {
    Value object = Value::object();
    object[key] = items;
    return object;
}

}  // namespace

Value to_json(const ConfigurationPrintout& configuration) {
    const ConfigurationPrintout& c = configuration;
    Value object = Value::object();
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
    object["swupdate"] = c.swupdate ? update_json(*c.swupdate) : Value();
    object["whitelist"] = c.whitelist ? array_of(*c.whitelist, user_json) : Value();
    return object;
}

Value to_json(const ConfigPrintout& config) {
    Value object = Value::object();
    object["result"] = or_null(config.result);
    object["configuration"] = to_json(config.configuration);
    return object;
}

Value to_json(const LightsPrintout& lights) {
    return document("lights", array_of(lights.lights, light_json));
}

Value to_json(const GroupsPrintout& groups) {
    return document("groups", array_of(groups.groups, group_json));
}

Value to_json(const SchedulesPrintout& schedules) {
    return document("schedules", array_of(schedules.schedules, schedule_json));
}

Value to_json(const ScenesPrintout& scenes) {
    Value object = document("scenes", array_of(scenes.scenes, scene_json));
    if (scenes.smart_scenes) {
        object["smart_scenes"] = array_of(*scenes.smart_scenes, smart_scene_json);
    }
    return object;
}

Value to_json(const SensorsPrintout& sensors) {
    return document("sensors", array_of(sensors.sensors, sensor_json));
}

Value to_json(const StatePrintout& state) {
    Value object = Value::object();
    object["configuration"] = to_json(state.configuration);
    object["lights"] = array_of(state.lights.lights, light_json);
    object["groups"] = array_of(state.groups.groups, group_json);
    object["schedules"] = array_of(state.schedules.schedules, schedule_json);
    return object;
}

Value to_json(const BridgesPrintout& bridges) {
    return document("bridges", array_of(bridges.bridges, bridge_json));
}

Value to_json(const ChangePrintout& change) {
    Value object = Value::object();
    object["result"] = Value(change.result);
    object["id"] = or_null(change.id);
    return object;
}

template <class Printout>
std::string json_text(const Printout& printout) {
    return Json::text(to_json(printout), Json::Numbers::shortest);
}

template std::string json_text(const ConfigurationPrintout&);
template std::string json_text(const ConfigPrintout&);
template std::string json_text(const LightsPrintout&);
template std::string json_text(const GroupsPrintout&);
template std::string json_text(const SchedulesPrintout&);
template std::string json_text(const ScenesPrintout&);
template std::string json_text(const SensorsPrintout&);
template std::string json_text(const StatePrintout&);
template std::string json_text(const BridgesPrintout&);
template std::string json_text(const ChangePrintout&);

}  // namespace Commands
