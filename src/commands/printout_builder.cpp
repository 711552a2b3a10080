#include "commands/printout_builder.hpp"

#include <string>

#include "hue/address.hpp"
#include "hue/bridge.hpp"
#include "hue/configuration.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "hue/scenes.hpp"
#include "hue/schedules.hpp"

namespace Commands {
namespace {

// `value` when the configuration last read held `member`, else nothing.
template <class T>
std::optional<T> if_reported(const Hue::Configuration& configuration, const char* member,
                             const T& value) {
    if (!configuration.reported(member)) return std::nullopt;
    return value;
}

ColorPrintout color_printout(const Hue::LightFields& fields) {
    ColorPrintout color;
    if (fields.colormode != Hue::ColorMode::invalid) {
        color.mode = Hue::color_mode_text(fields.colormode);
    }
    switch (fields.colormode) {
        case Hue::ColorMode::hs:
            color.hue = fields.hue;
            color.sat = fields.sat;
            break;
        case Hue::ColorMode::xy:
            color.x = fields.x;
            color.y = fields.y;
            break;
        case Hue::ColorMode::ct:
            color.ct = fields.ct;
            break;
        case Hue::ColorMode::invalid:
            break;
    }
    return color;
}

// The bits that make a group's colour mode and its values worth printing.
constexpr std::uint32_t kColorFields = Hue::GroupActionField::colormode |
                                       Hue::GroupActionField::xy | Hue::GroupActionField::ct |
                                       Hue::GroupActionField::hue | Hue::GroupActionField::sat;

// The printout of each item of `items`, in order.
template <class List, class Build>
auto each_built(const List& items, Build build) {
    std::vector<decltype(build(*items.begin()))> printouts;
    printouts.reserve(items.size());
    for (const auto& item : items) printouts.push_back(build(item));
    return printouts;
}

}  // namespace

ConfigurationPrintout configuration_printout(const Hue::Configuration& configuration) {
    const Hue::ConfigurationSettings settings = configuration.settings();
    const Hue::ConfigurationStatus status = configuration.status();
    ConfigurationPrintout printout;
    printout.name = if_reported(configuration, "name", settings.name);
    printout.linkbutton = if_reported(configuration, "linkbutton", settings.linkbutton);
    // Only a proxy the bridge reported has a host: port 0 means none.
    if (!settings.proxy.host.empty()) {
        printout.proxy = ProxyPrintout{settings.proxy.host, settings.proxy.port};
    }
    printout.ipaddress = if_reported(configuration, "ipaddress", settings.ipaddress);
    printout.mac = if_reported(configuration, "mac", status.mac);
    printout.netmask = if_reported(configuration, "netmask", settings.netmask);
    printout.gateway = if_reported(configuration, "gateway", settings.gateway);
    printout.dhcp = if_reported(configuration, "dhcp", settings.dhcp);
    printout.portalservices = if_reported(configuration, "portalservices", settings.portalservices);
    printout.utc = if_reported(configuration, "UTC", status.utc);
    printout.swversion = if_reported(configuration, "swversion", status.swversion);
    if (configuration.reported("swupdate")) {
        const Hue::SoftwareUpdate& update = settings.swupdate;
        printout.swupdate =
            FirmwareUpdatePrintout{update.updatestate, update.notify, update.url, update.text};
    }
    if (configuration.reported("whitelist")) {
        printout.whitelist.emplace();
        for (const auto& [user_id, entry] : status.whitelist) {
            printout.whitelist->push_back(
                WhitelistUserPrintout{user_id, entry.name, entry.create_date, entry.last_use_date});
        }
    }
    return printout;
}

LightPrintout light_printout(const Hue::Light& light) {
    LightPrintout printout;
    printout.id = light.id();
    printout.name = light.name();
    printout.type = light.type();
    printout.productname = light.productname();
    if (const auto capabilities = light.capabilities()) {
        printout.capabilities.emplace();
        if (const auto& gamut = capabilities->gamut) {
            printout.capabilities->colorgamut =
                std::vector<PointPrintout>{{gamut->red.x, gamut->red.y},
                                           {gamut->green.x, gamut->green.y},
                                           {gamut->blue.x, gamut->blue.y}};
        }
        if (const auto& ct = capabilities->ct) {
            printout.capabilities->ctrange = MiredRangePrintout{ct->min, ct->max};
        }
    }
    if (!light.whole()) return printout;
    printout.modelid = light.modelid();
    printout.swversion = light.swversion();
    const Hue::LightState state = light.state();
    LightStatePrintout& fields = printout.state;
    fields.reachable = state.reachable;
    fields.on = state.on;
    fields.alert = state.alert;
    if ((light.reported_fields() & Hue::LightField::effect) != 0) fields.effect = state.effect;
    fields.color = color_printout(state);
    fields.bri = state.bri;
    return printout;
}

LightsPrintout lights_printout(const Hue::Lights& lights) {
    return LightsPrintout{each_built(lights, light_printout)};
}

GroupPrintout group_printout(const Hue::Group& group) {
    const Hue::GroupAction action = group.action();
    const auto has = [&action](std::uint32_t field) { return (action.flags & field) != 0; };
    GroupPrintout printout;
    printout.id = group.id();
    printout.name = group.name();
    printout.lights = group.lights();
    printout.type = group.type();
    printout.group_class = group.group_class();
    ActionPrintout& fields = printout.laststate;
    if (has(Hue::GroupActionField::on)) fields.on = action.on;
    if (has(Hue::GroupActionField::alert)) fields.alert = action.alert;
    if (has(Hue::GroupActionField::effect)) fields.effect = action.effect;
    if (has(kColorFields)) fields.color = color_printout(action);
    if (has(Hue::GroupActionField::bri)) fields.bri = action.bri;
    return printout;
}

GroupsPrintout groups_printout(const Hue::Groups& groups) {
    return GroupsPrintout{each_built(groups, group_printout)};
}

SchedulePrintout schedule_printout(const Hue::Schedule& schedule) {
    SchedulePrintout printout;
    printout.id = schedule.id();
    printout.name = schedule.name();
    const Hue::ScheduleTime time = schedule.time();
    if (time.kind != Hue::ScheduleTimeKind::none) printout.time = time.format_time();
    printout.description = schedule.description();
    const std::string command = schedule.command();
    if (!command.empty()) printout.command = command;
    const std::string status = schedule.status();
    if (!status.empty()) printout.status = status;
    return printout;
}

SchedulesPrintout schedules_printout(const Hue::Schedules& schedules) {
    return SchedulesPrintout{each_built(schedules, schedule_printout)};
}

ScenePrintout scene_printout(const Hue::Scene& scene) {
    ScenePrintout printout;
    printout.id = scene.id();
    printout.name = scene.name();
    const std::string group = scene.group();
    if (!group.empty()) printout.group = group;
    printout.lights = scene.lights();
    printout.lastupdated = scene.lastupdated();
    return printout;
}

ScenesPrintout scenes_printout(const Hue::Scenes& scenes) {
    return ScenesPrintout{each_built(scenes, scene_printout), std::nullopt};
}

StatePrintout state_printout(const Hue::Configuration& configuration, const Hue::Lights& lights,
                             const Hue::Groups& groups, const Hue::Schedules& schedules) {
    return StatePrintout{configuration_printout(configuration), lights_printout(lights),
                         groups_printout(groups), schedules_printout(schedules)};
}

BridgePrintout bridge_printout(const Hue::Bridge& bridge) {
    BridgePrintout printout;
    printout.id = bridge.id();
    printout.ip = bridge.endpoint().host;
    printout.port = bridge.endpoint().port;
    printout.scheme = bridge.endpoint().scheme == Hue::Scheme::Https ? "https" : "http";
    printout.address = Hue::bridge_text(bridge.endpoint());
    if (!bridge.mac().empty()) printout.mac = bridge.mac();
    return printout;
}

BridgesPrintout bridges_printout(const std::vector<Hue::Bridge>& bridges) {
    return BridgesPrintout{each_built(bridges, bridge_printout)};
}

}  // namespace Commands
