#include "commands/text_printout.hpp"

#include <string>
#include <vector>

#include "hue/configuration.hpp"
#include "hue/text.hpp"
#include "util/printable.hpp"
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

// The "    Mode:" line, then the lines of the values of that mode.
void print_color(std::ostream& out, const ColorPrintout& color) {
    out << "    Mode:                  " << printable(color.mode) << std::endl;
    if (color.hue) out << "    Hue:                   " << *color.hue << std::endl;
    if (color.sat) out << "    Saturation:            " << *color.sat << std::endl;
    if (color.x) out << "    X:                     " << *color.x << std::endl;
    if (color.y) out << "    Y:                     " << *color.y << std::endl;
    if (color.ct) out << "    ColorTemperature:      " << *color.ct << std::endl;
}

void print_light(std::ostream& out, const LightPrintout& light) {
    const LightStatePrintout& state = light.state;
    out << std::endl;
    out << "  Id:                      " << printable(light.id) << std::endl;
    out << "  Name:                    " << printable(light.name) << std::endl;
    out << "  ModelId:                 " << text_or_empty(light.modelid) << std::endl;
    out << "  SwVersion:               " << text_or_empty(light.swversion) << std::endl;
    out << "  State:        " << std::endl;
    out << "    Reachable:             " << state.reachable.value_or(false) << std::endl;
    out << "    On:                    " << state.on.value_or(false) << std::endl;
    out << "    Alert:                 " << printable(state.alert.value_or("none")) << std::endl;
    out << "    Effect:                " << printable(state.effect.value_or("none")) << std::endl;
    print_color(out, state.color.value_or(ColorPrintout()));
    out << "    Brightness:            " << state.bri.value_or(0) << std::endl;
}

void print_group(std::ostream& out, const GroupPrintout& group) {
    const ActionPrintout& action = group.laststate;
    out << std::endl;
    out << "  Id:                      " << printable(group.id) << std::endl;
    out << "  Name:                    " << printable(group.name) << std::endl;
    out << "  Lights:                  " << printable(joined(group.lights)) << std::endl;
    out << "  LastState:        " << std::endl;
    if (action.on) out << "    On:                    " << *action.on << std::endl;
    if (action.alert) out << "    Alert:                 " << printable(*action.alert) << std::endl;
    if (action.effect) {
        out << "    Effect:                " << printable(*action.effect) << std::endl;
    }
    if (action.color) print_color(out, *action.color);
    if (action.bri) out << "    Brightness:            " << *action.bri << std::endl;
}

void print_schedule(std::ostream& out, const SchedulePrintout& schedule) {
    out << std::endl;
    out << "  Id:                      " << printable(schedule.id) << std::endl;
    out << "  Name:                    " << printable(schedule.name) << std::endl;
    out << "  Time:                    " << text_or_empty(schedule.time) << std::endl;
    out << "  Description:             " << std::endl;
    out << "    " << printable(schedule.description) << std::endl;
    out << std::endl;
    out << "  Command:                  " << std::endl;
    out << "    " << text_or_empty(schedule.command) << std::endl;
}

}  // namespace

void print_text(std::ostream& out, const ConfigurationPrintout& configuration) {
    const ConfigurationPrintout& c = configuration;
    const FirmwareUpdatePrintout update = c.swupdate.value_or(FirmwareUpdatePrintout());
    out << "Configuration:" << std::endl;
    out << std::endl;
    out << "  Name:                    " << text_or_empty(c.name) << std::endl;
    out << "  LinkButton:              " << c.linkbutton.value_or(false) << std::endl;
    out << std::endl;
    out << "  Proxy:                   " << printable(c.proxy.value_or("/")) << std::endl;
    out << "  Ip:                      " << text_or_empty(c.ipaddress) << std::endl;
    out << "  Mac:                     " << text_or_empty(c.mac) << std::endl;
    out << "  NetMask:                 " << text_or_empty(c.netmask) << std::endl;
    out << "  Gateway:                 " << text_or_empty(c.gateway) << std::endl;
    out << "  Dhcp:                    " << c.dhcp.value_or(false) << std::endl;
    out << "  PortalServices:          " << c.portalservices.value_or(false) << std::endl;
    out << std::endl;
    out << "  Utc:                     " << Util::utc_text(c.utc.value_or(Hue::epoch_utc()))
        << std::endl;
    out << std::endl;
    out << "  SWVersion:               " << text_or_empty(c.swversion) << std::endl;
    out << "  Firmware:" << std::endl;
    out << "    UpdateState:           " << update.updatestate << std::endl;
    out << "    Notify:                " << update.notify << std::endl;
    out << "    Url:                   " << std::endl;
    out << "  " << printable(update.url) << std::endl;
    out << "    Description:" << std::endl;
    out << printable(update.text) << std::endl;
    out << std::endl;
    out << "  Whitelist:        " << std::endl;
    for (const WhitelistUserPrintout& user :
         c.whitelist.value_or(std::vector<WhitelistUserPrintout>())) {
        out << std::endl;
        out << "    " << printable(user.id) << std::endl;
        out << "      Name:                " << printable(user.name) << std::endl;
        out << "      CreationDate:        " << Util::utc_text(user.create_date) << std::endl;
        out << "      LastUseDate:         " << Util::utc_text(user.last_use_date) << std::endl;
    }
}

void print_text(std::ostream& out, const ConfigPrintout& config) {
    if (config.result) out << printable(*config.result) << std::endl;
    print_text(out, config.configuration);
}

void print_text(std::ostream& out, const LightsPrintout& lights) {
    out << "Lights:" << std::endl;
    for (const LightPrintout& light : lights.lights) print_light(out, light);
}

void print_text(std::ostream& out, const GroupsPrintout& groups) {
    out << "Groups:" << std::endl;
    for (const GroupPrintout& group : groups.groups) print_group(out, group);
}

void print_text(std::ostream& out, const SchedulesPrintout& schedules) {
    out << "Schedules:" << std::endl;
    for (const SchedulePrintout& schedule : schedules.schedules) print_schedule(out, schedule);
}

void print_text(std::ostream& out, const StatePrintout& state) {
    out << "State:" << std::endl;
    print_text(out, state.configuration);
    out << std::endl;
    print_text(out, state.lights);
    out << std::endl;
    print_text(out, state.groups);
    out << std::endl;
    print_text(out, state.schedules);
    out << std::endl;
}

void print_text(std::ostream& out, const BridgesPrintout& bridges) {
    out << "Local Bridges" << std::endl << std::endl;
    out << "Id                  "
        << "IP Address     \t"
        << "MAC Address" << std::endl;
    for (const BridgePrintout& bridge : bridges.bridges) {
        const std::string id = printable(bridge.id);
        const std::size_t width = Hue::code_points(id);
        out << id << std::string(width < kIdColumn ? kIdColumn - width : 0, ' ')
            << printable(bridge.address) << "\t" << text_or_empty(bridge.mac) << std::endl;
    }
}

void print_text(std::ostream& out, const ChangePrintout& change) {
    if (!change.line.empty()) out << change.line << std::endl;
}

}  // namespace Commands
