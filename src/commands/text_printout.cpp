#include "commands/text_printout.hpp"

#include <string>
#include <vector>

#include "commands/brief_table.hpp"
#include "hue/configuration.hpp"
#include "util/printable.hpp"
#include "util/text.hpp"
#include "util/utc_text.hpp"

namespace Commands {
namespace {

using Util::printable;

// The width of the bridges table's id column, in characters.
constexpr std::size_t kIdColumn = 20;

std::string text_or_empty(const std::optional<std::string>& text) {
    return printable(text.value_or(std::string()));
}

std::string joined(const std::vector<std::string>& ids) {
    if (ids.empty()) return "none";
    std::string text;
    for (const auto& id : ids) text += (text.empty() ? "" : ", ") + id;
    return text;
}

// The proxy as a URI without scheme ("//host:port/"), "/" for none.
std::string proxy_text(const std::optional<ProxyPrintout>& proxy) {
    if (!proxy) return "/";
    return "//" + proxy->address + (proxy->port > 0 ? ":" + std::to_string(proxy->port) : "") + "/";
}

// The "    Mode:" line, then the lines of the values of that mode.
void print_color(std::ostream& out, const ColorPrintout& color) {
    out << "    Mode:                  " << printable(color.mode.value_or("invalid")) << '\n';
    if (color.hue) out << "    Hue:                   " << *color.hue << '\n';
    if (color.sat) out << "    Saturation:            " << *color.sat << '\n';
    if (color.x) out << "    X:                     " << *color.x << '\n';
    if (color.y) out << "    Y:                     " << *color.y << '\n';
    if (color.ct) out << "    ColorTemperature:      " << *color.ct << '\n';
}

void print_light(std::ostream& out, const LightPrintout& light) {
    const LightStatePrintout& state = light.state;
    out << '\n';
    out << "  Id:                      " << printable(light.id) << '\n';
    out << "  Name:                    " << printable(light.name) << '\n';
    out << "  ModelId:                 " << text_or_empty(light.modelid) << '\n';
    out << "  SwVersion:               " << text_or_empty(light.swversion) << '\n';
    out << "  State:        " << '\n';
    out << "    Reachable:             " << state.reachable.value_or(false) << '\n';
    out << "    On:                    " << state.on.value_or(false) << '\n';
    out << "    Alert:                 " << printable(state.alert.value_or("none")) << '\n';
    out << "    Effect:                " << printable(state.effect.value_or("none")) << '\n';
    print_color(out, state.color.value_or(ColorPrintout()));
    out << "    Brightness:            " << state.bri.value_or(0) << '\n';
}

void print_group(std::ostream& out, const GroupPrintout& group) {
    const ActionPrintout& action = group.laststate;
    out << '\n';
    out << "  Id:                      " << printable(group.id) << '\n';
    out << "  Name:                    " << printable(group.name) << '\n';
    out << "  Lights:                  " << printable(joined(group.lights)) << '\n';
    out << "  LastState:        " << '\n';
    if (action.on) out << "    On:                    " << *action.on << '\n';
    if (action.alert) out << "    Alert:                 " << printable(*action.alert) << '\n';
    if (action.effect) {
        out << "    Effect:                " << printable(*action.effect) << '\n';
    }
    if (action.color) print_color(out, *action.color);
    if (action.bri) out << "    Brightness:            " << *action.bri << '\n';
}

void print_schedule(std::ostream& out, const SchedulePrintout& schedule) {
    out << '\n';
    out << "  Id:                      " << printable(schedule.id) << '\n';
    out << "  Name:                    " << printable(schedule.name) << '\n';
    out << "  Time:                    " << text_or_empty(schedule.time) << '\n';
    out << "  Description:             " << '\n';
    out << "    " << printable(schedule.description) << '\n';
    out << '\n';
    out << "  Command:                  " << '\n';
    out << "    " << text_or_empty(schedule.command) << '\n';
}

void print_scene(std::ostream& out, const ScenePrintout& scene) {
    out << '\n';
    out << "  Id:                      " << printable(scene.id) << '\n';
    out << "  Name:                    " << printable(scene.name) << '\n';
    out << "  Group:                   " << text_or_empty(scene.group) << '\n';
    out << "  Lights:                  " << printable(joined(scene.lights)) << '\n';
    out << "  LastUpdated:             "
        << (scene.lastupdated ? Util::utc_text(*scene.lastupdated) : std::string()) << '\n';
    if (scene.dynamic)
        out << "  Dynamic:                 " << (*scene.dynamic ? "yes" : "no") << '\n';
}

// The column the values of a labelled printout start in.
constexpr std::size_t kValueColumn = 27;

// `indent` and "Label:", padded to kValueColumn (one blank after a longer one).
std::string label(const std::string& indent, const std::string& name) {
    std::string text = indent + name + ":";
    const std::size_t width = Util::code_points(text);
    return text + std::string(width < kValueColumn ? kValueColumn - width : 1, ' ');
}

void print_sensor(std::ostream& out, const SensorPrintout& sensor) {
    out << '\n';
    out << label("  ", "Id") << printable(sensor.id) << '\n';
    out << label("  ", "Name") << printable(sensor.name) << '\n';
    out << label("  ", "Type") << printable(sensor.type) << '\n';
    out << label("  ", "ModelId") << printable(sensor.modelid) << '\n';
    out << label("  ", "SwVersion") << printable(sensor.swversion) << '\n';
    out << "  State:" << '\n';
    for (const SensorValue& value : sensor.values) {
        out << label("    ", printable(value.label)) << printable(value.text) << '\n';
    }
    if (sensor.lastupdated) {
        out << label("    ", "LastUpdated") << Util::utc_text(*sensor.lastupdated) << '\n';
    }
    out << "  Config:" << '\n';
    if (sensor.on) out << label("    ", "On") << *sensor.on << '\n';
    if (sensor.battery) out << label("    ", "Battery") << *sensor.battery << "%" << '\n';
    if (sensor.reachable) out << label("    ", "Reachable") << *sensor.reachable << '\n';
}

std::string yes_no(const std::optional<bool>& flag) {
    if (!flag) return std::string();
    return *flag ? "yes" : "no";
}

void print_sensors_brief(std::ostream& out, const SensorsPrintout& sensors) {
    BriefTable table{{"ID", "NAME", "TYPE", "VALUE", "BATTERY", "REACHABLE", "ON"}, {}};
    for (const SensorPrintout& sensor : sensors.sensors) {
        std::string value;
        for (const SensorValue& each : sensor.values) {
            value += (value.empty() ? "" : ", ") + printable(each.word);
        }
        table.rows.push_back({printable(sensor.id), brief_name(sensor.name), printable(sensor.type),
                              value, sensor.battery ? std::to_string(*sensor.battery) + "%" : "",
                              yes_no(sensor.reachable), yes_no(sensor.on)});
    }
    print_brief(out, table);
}

}  // namespace

void print_text(std::ostream& out, const ConfigurationPrintout& configuration) {
    const ConfigurationPrintout& c = configuration;
    const FirmwareUpdatePrintout update = c.swupdate.value_or(FirmwareUpdatePrintout());
    out << "Configuration:" << '\n';
    out << '\n';
    out << "  Name:                    " << text_or_empty(c.name) << '\n';
    out << "  LinkButton:              " << c.linkbutton.value_or(false) << '\n';
    out << '\n';
    out << "  Proxy:                   " << printable(proxy_text(c.proxy)) << '\n';
    out << "  Ip:                      " << text_or_empty(c.ipaddress) << '\n';
    out << "  Mac:                     " << text_or_empty(c.mac) << '\n';
    out << "  NetMask:                 " << text_or_empty(c.netmask) << '\n';
    out << "  Gateway:                 " << text_or_empty(c.gateway) << '\n';
    out << "  Dhcp:                    " << c.dhcp.value_or(false) << '\n';
    out << "  PortalServices:          " << c.portalservices.value_or(false) << '\n';
    out << '\n';
    out << "  Utc:                     " << Util::utc_text(c.utc.value_or(Hue::epoch_utc()))
        << '\n';
    out << '\n';
    out << "  SWVersion:               " << text_or_empty(c.swversion) << '\n';
    out << "  Firmware:" << '\n';
    out << "    UpdateState:           " << update.updatestate << '\n';
    out << "    Notify:                " << update.notify << '\n';
    out << "    Url:                   " << '\n';
    out << "  " << printable(update.url) << '\n';
    out << "    Description:" << '\n';
    out << printable(update.text) << '\n';
    out << '\n';
    out << "  Whitelist:        " << '\n';
    for (const WhitelistUserPrintout& user :
         c.whitelist.value_or(std::vector<WhitelistUserPrintout>())) {
        out << '\n';
        out << "    " << printable(user.id) << '\n';
        out << "      Name:                " << printable(user.name) << '\n';
        out << "      CreationDate:        " << Util::utc_text(user.create_date) << '\n';
        out << "      LastUseDate:         " << Util::utc_text(user.last_use_date) << '\n';
    }
}

void print_text(std::ostream& out, const ConfigPrintout& config) {
    if (config.result) out << printable(*config.result) << '\n';
    print_text(out, config.configuration);
}

void print_text(std::ostream& out, const LightsPrintout& lights) {
    out << "Lights:" << '\n';
    for (const LightPrintout& light : lights.lights) print_light(out, light);
}

void print_text(std::ostream& out, const GroupsPrintout& groups) {
    out << "Groups:" << '\n';
    for (const GroupPrintout& group : groups.groups) print_group(out, group);
}

void print_text(std::ostream& out, const SchedulesPrintout& schedules) {
    out << "Schedules:" << '\n';
    for (const SchedulePrintout& schedule : schedules.schedules) print_schedule(out, schedule);
}

void print_text(std::ostream& out, const ScenesPrintout& scenes) {
    out << "Scenes:" << '\n';
    for (const ScenePrintout& scene : scenes.scenes) print_scene(out, scene);
    if (!scenes.smart_scenes) return;
    out << '\n' << "Smart scenes:" << '\n';
    for (const SmartScenePrintout& smart : *scenes.smart_scenes) {
        out << '\n';
        out << "  Id:                      " << printable(smart.id) << '\n';
        out << "  Name:                    " << printable(smart.name) << '\n';
        out << "  State:                   " << printable(smart.state) << '\n';
    }
}

void print_text(std::ostream& out, const SensorsPrintout& sensors) {
    if (sensors.brief) return print_sensors_brief(out, sensors);
    out << "Sensors:" << '\n';
    for (const SensorPrintout& sensor : sensors.sensors) print_sensor(out, sensor);
}

void print_text(std::ostream& out, const StatePrintout& state) {
    out << "State:" << '\n';
    print_text(out, state.configuration);
    out << '\n';
    print_text(out, state.lights);
    out << '\n';
    print_text(out, state.groups);
    out << '\n';
    print_text(out, state.schedules);
    out << '\n';
}

void print_text(std::ostream& out, const BridgesPrintout& bridges) {
    out << "Local Bridges" << '\n' << '\n';
    out << "Id                  "
        << "IP Address     \t"
        << "MAC Address" << '\n';
    for (const BridgePrintout& bridge : bridges.bridges) {
        const std::string id = printable(bridge.id);
        const std::size_t width = Util::code_points(id);
        out << id << std::string(width < kIdColumn ? kIdColumn - width : 0, ' ')
            << printable(bridge.address) << "\t" << text_or_empty(bridge.mac) << '\n';
    }
}

void print_text(std::ostream& out, const ChangePrintout& change) {
    if (!change.line.empty()) out << change.line << '\n';
}

}  // namespace Commands
