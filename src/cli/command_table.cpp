#include "cli/command_table.hpp"

#include <locale>
#include <string>
#include <vector>

#include <boost/algorithm/string/case_conv.hpp>

#include "cli/help.hpp"
#include "cli/typed_options.hpp"
#include "commands/bridges.hpp"
#include "commands/colour_options.hpp"
#include "commands/config.hpp"
#include "commands/devices.hpp"
#include "commands/groups.hpp"
#include "commands/lights.hpp"
#include "commands/scenes.hpp"
#include "commands/schedules.hpp"
#include "commands/sensors.hpp"
#include "commands/state.hpp"
#include "commands/watch.hpp"
#include "util/colour.hpp"

namespace Cli {
namespace {

using Commands::BridgeOption;
using Commands::StateOptions;

// The kinds of group "group --type" makes and "groups --type" lists.
std::vector<std::string> group_types() { return {"room", "zone", "group"}; }

// `member` of a part of the record `Derived`, as a member of `Derived`.
template <class Derived, class T, class Base>
T Derived::*as_member_of(T Base::*member) {
    return member;
}

const char kFindDescription[] =
    "Instructs bridge to enter \"find new lights mode\" rather than list existing ones.  "
    "Wait 90 seconds and run command again without this option to see if anything new was "
    "found.  Note if searching for a tap switch:  Run glowrig config to confirm you have at "
    "least API version 1.3 and that there are no firmware updates available.After confirming "
    "your bridge is updated, note which Zigbee channel your bridge is on.  While in find "
    "mode, you must hold down the button that corresponds to the bridge's channel for ten "
    "seconds then release.  The channels should map to buttons as follows: 11:1, 15:2, "
    "20:3, 25:4.";

// The colour names "--color" takes: every one a light can show (not black).
std::vector<std::string> colour_words() {
    std::vector<std::string> words;
    for (const std::string& name : Util::colour_names()) {
        if (Util::chromaticity(*Util::read_colour(name))) words.push_back(name);
    }
    return words;
}

// The options of `Base`, a part of the record `Derived`, as options of it.
template <class Derived, class Base>
std::vector<Option<Derived>> widened(const std::vector<Option<Base>>& options) {
    using Field = typename Option<Derived>::Field;
    std::vector<Option<Derived>> wide;
    for (const Option<Base>& option : options) {
        const Field field = std::visit(
            [](auto member) -> Field {
                if constexpr (std::is_same_v<decltype(member), std::monostate>) {
                    return member;
                } else {
                    return as_member_of<Derived>(member);
                }
            },
            option.field);
        Option<Derived> copy(option.name, option.help, field, option.words);
        copy.forms = option.forms;
        copy.point = option.point;
        copy.open_words = option.open_words;
        wide.push_back(std::move(copy));
    }
    return wide;
}

// `option`, its words offered but not required.
template <class Record>
Option<Record> offering(Option<Record> option) {
    option.open_words = true;
    return option;
}

// The option pieces the commands are made of, in the order the help lists them.

template <class Record>
Option<Record> bridge() {
    return {"bridge",
            "Specify IP Address of the bridge you want to talk to.  Required if you have more "
            "than one bridge.",
            &Record::bridge};
}

template <class Record>
Option<Record> json() {
    return {"json", "Print the result as one JSON document.", std::monostate()};
}

template <class Record>
Option<Record> brief() {
    return {"brief",
            "Print one line per item under a header line; --json wins over it and prints the "
            "usual document.",
            &Record::brief};
}

template <class Record>
Option<Record> id(const std::string& word, bool can_create) {
    return {"id",
            "The " + word + " id." + (can_create ? "  Use \"new\" if you want create one." : ""),
            &Record::id};
}

template <class Record>
Option<Record> name(const std::string& word) {
    return {"name", "New name of " + word + " (for renaming or creation)", &Record::name};
}

template <class Record>
Option<Record> remove(const std::string& word) {
    return {"delete", "Delete " + word, &Record::remove};
}

template <class Record>
std::vector<Option<Record>> light_state() {
    return {
        {"on", "turn the lights on", &StateOptions::on},
        {"off", "turn the lights off", &StateOptions::off},
        {"toggle", "turn the lights off when on, on when off", &StateOptions::toggle},
        {"ct", "Mired color temperature, valid values 153-500, or +N or -N to change it by N",
         &StateOptions::ct, NumberForms{0, 65535, 65534}},
        {"kelvin",
         "Color temperature in kelvin, valid values 1000-10000, with or without K (2700 is warm "
         "white)",
         &StateOptions::kelvin, NumberForms{1000, 10000, 0, false, "K"}},
        {"hue", "Hue, valid values 0-65535", &StateOptions::hue},
        {"sat", "Saturation, valid values 0-255", &StateOptions::sat},
        {"xy", "Color as CIE coordinates X,Y, each 0-1, e.g. --xy=0.3127,0.329", &StateOptions::xy,
         Commands::xy_point},
        {"color", "Color as #rrggbb, rrggbb, rgb(R,G,B) or a CSS color name, e.g. --color=orange",
         &StateOptions::color, Commands::colour_point, colour_words()},
        {"bri", "Brightness, valid values 0-255, +N or -N to change it by N, or N% (0-100)",
         &StateOptions::bri, NumberForms{0, 255, 254, true}},
        {"alert",
         "Alert setting for light.  Valid values are: none, select, lselect",
         &StateOptions::alert,
         {"none", "select", "lselect"}},
        offering(Option<Record>("effect", "Light effect.Valid values are: non, colorloop",
                                &StateOptions::effect, {"none", "colorloop"})),
        {"trans",
         "Transition time for lighting change in hundreds of milliseconds. A value of 10 equals "
         "one second.",
         &StateOptions::trans},
        {"sunrise",
         "Light rises like the sun over this time, e.g. 30m, 1h30m, 90s or 600 (seconds), at "
         "most 6h (bridges with the newer interface)",
         &StateOptions::sunrise},
        {"sunset", "Light sets like the sun over this time, as --sunrise", &StateOptions::sunset},
        {"gradient",
         "Colors along a gradient light, each as --color takes it, e.g. --gradient=red,orange,blue",
         &StateOptions::gradient},
        {"signal",
         "Signal with the light for --signal-for seconds: on_off, on_off_color (one color) or "
         "alternating (two colors), the colors in --signal-colors",
         &StateOptions::signal,
         {"on_off", "on_off_color", "alternating"}},
        {"signal-colors", "The colors of --signal, each as --color takes it, e.g. red,blue",
         &StateOptions::signal_colors},
        {"signal-for", "Seconds --signal lasts, 1-65534; 10 unless given",
         &StateOptions::signal_for, NumberForms{1, 65534}},
    };
}

// `first`, then `more`.
template <class Record>
std::vector<Option<Record>> joined(std::vector<Option<Record>> first,
                                   const std::vector<Option<Record>>& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

std::vector<Option<Commands::ListingOptions>> listing_options() {
    using R = Commands::ListingOptions;
    return {bridge<R>(), json<R>()};
}

std::vector<Option<Commands::BriefListingOptions>> brief_listing_options() {
    using R = Commands::BriefListingOptions;
    return {bridge<R>(), brief<R>(), json<R>()};
}

// The listing's options, then "--type".
std::vector<Option<Commands::GroupsOptions>> groups_options() {
    using R = Commands::GroupsOptions;
    return joined<R>(widened<R>(brief_listing_options()),
                     {{"type", "List only groups of this kind: room, zone or group (plain groups).",
                       &R::type, group_types()}});
}

std::vector<Option<Commands::ConfigOptions>> config_options() {
    using R = Commands::ConfigOptions;
    return {
        bridge<R>(),
        {"auth",
         "Authorize this app (must be executed within 30 seconds of pressing button on the "
         "Bridge).",
         &R::auth},
        {"deauth", "Remove authorization for a user/app.", &R::deauth},
        {"updatefw", "Instruct the Bridge to download a firmware update, if available.",
         &R::updatefw},
        json<R>(),
    };
}

std::vector<Option<Commands::LightsOptions>> lights_options() {
    using R = Commands::LightsOptions;
    return {bridge<R>(), {"find", kFindDescription, &R::find}, brief<R>(), json<R>()};
}

std::vector<Option<Commands::LightOptions>> light_options() {
    using R = Commands::LightOptions;
    const Option<R> light_id{"id",
                             "The light id or name; several as a comma list (--id=1,3,Desk), "
                             "or all for every light.",
                             &R::id};
    return joined<R>(joined<R>({bridge<R>(), light_id}, light_state<R>()),
                     {name<R>("light"), json<R>()});
}

std::vector<Option<Commands::GroupOptions>> group_options() {
    using R = Commands::GroupOptions;
    return joined<R>(
        joined<R>({bridge<R>(), id<R>("group", true)}, light_state<R>()),
        {name<R>("group"),
         {"l",
          "Light id or name. When creating or modifying a group, used to specify lights for "
          "group.  Can "
          "be used multiple times, e.g. -l=1 -l=3 -l=5 when creating a group with lights 1, 3, "
          "and 5.",
          &R::lights},
         remove<R>("group"),
         {"type",
          "Kind of the new group: room (a light is in one room at most), zone, or group (the "
          "default).",
          &R::type, group_types()},
         {"class",
          "Class of a new room or zone, e.g. Kitchen, Living room, Bedroom, Office or Other.",
          &R::group_class},
         json<R>()});
}

std::vector<Option<Commands::ScheduleOptions>> schedule_options() {
    using R = Commands::ScheduleOptions;
    return {bridge<R>(),
            id<R>("schedule", true),
            name<R>("schedule"),
            {"desc", "New description for schedule", &R::description},
            remove<R>("schedule"),
            {"enable", "Switch the schedule on", &R::enable},
            {"disable", "Switch the schedule off", &R::disable},
            json<R>()};
}

std::vector<Option<Commands::SceneOptions>> scene_options() {
    using R = Commands::SceneOptions;
    return {
        bridge<R>(),
        {"id", "The scene id or name.", &R::id},
        {"group",
         "Group id or name to recall a scene of lights alone in; the default is 0, every "
         "light.  A group scene is always recalled in its own group.",
         &R::group},
        {"dynamic", "Play the scene's palette; needs the bridge's newer interface.", &R::dynamic},
        {"speed", "Speed of the palette with --dynamic, 0 to 1.", &R::speed},
        {"off", "Deactivate the smart scene --id names.", &R::off},
        json<R>()};
}

std::vector<Option<Commands::SensorsOptions>> sensors_options() {
    using R = Commands::SensorsOptions;
    return {bridge<R>(),
            {"brief", "Print one line per sensor: id, name, type, value, battery, reachable, on.",
             &R::brief},
            json<R>()};
}

std::vector<Option<Commands::SensorOptions>> sensor_options() {
    using R = Commands::SensorOptions;
    return {bridge<R>(),
            {"id", "The sensor id or name.", &R::id},
            {"on", "Switch the sensor on.", &R::on},
            {"off", "Switch the sensor off.", &R::off},
            json<R>()};
}

std::vector<Option<Commands::WatchOptions>> watch_options() {
    using R = Commands::WatchOptions;
    return {
        bridge<R>(),
        {"for", "Stop watching after this many seconds.", &R::seconds},
        {"count", "Stop watching after this many lines.", &R::count},
        {"interval",
         "Milliseconds between two reads of a bridge without an event stream; 1000 unless "
         "given, at least 200.",
         &R::interval},
        {"type",
         "Print only changes of these kinds: light, group or sensor (repeat it or separate "
         "them with commas).",
         &R::types,
         {"light", "group", "sensor"}},
        {"id",
         "Print only changes of the lights, groups or sensors with these ids or names (repeat "
         "it or separate them with commas).",
         &R::ids},
        {"json", "Print each change as one JSON object on a line of its own.", std::monostate()}};
}

bool pins_anew(const Commands::ConfigOptions& options) { return options.auth; }

struct NoOptions {};

// `command`, printing a stream of lines.
Command streaming(Command command) {
    command.streams = true;
    return command;
}

void run_help(const NoOptions&, const Commands::Settings&, const Commands::Output& output) {
    print_help(output.out(), nullptr);
}

void run_version(const NoOptions&, const Commands::Settings&, const Commands::Output& output) {
    print_version(output);
}

}  // namespace

const std::vector<Command>& command_table() {
    static const std::vector<Command> kCommands = {
        make_command<Commands::BridgesOptions>(
            "bridges", "Enumerates Hue bridges on the network.",
            {brief<Commands::BridgesOptions>(), json<Commands::BridgesOptions>()},
            Commands::run_bridges_command),
        make_bridge_command<Commands::ConfigOptions>(
            "config", "Prints or modifies a bridge's Configuration.", config_options(),
            Commands::run_config_command, nullptr, pins_anew),
        make_bridge_command<Commands::BriefListingOptions>(
            "devices", "Enumerates Devices with their battery, connectivity and update state.",
            brief_listing_options(), Commands::run_devices_command),
        make_bridge_command<Commands::LightsOptions>(
            "lights", "Enumerates the Lights associated with the bridge.", lights_options(),
            Commands::run_lights_command),
        make_bridge_command<Commands::LightOptions>("light", "Allows manipulating a single Light.",
                                                    light_options(), Commands::run_light_command,
                                                    Commands::check_light_options),
        make_bridge_command<Commands::GroupsOptions>(
            "groups", "Enumerates Groups of Lights configured with the bridge.", groups_options(),
            Commands::run_groups_command),
        make_bridge_command<Commands::GroupOptions>(
            "group", "Allows manipulating a Group of Lights.", group_options(),
            Commands::run_group_command, Commands::check_group_options),
        make_bridge_command<Commands::BriefListingOptions>(
            "schedules", "Enumerates Schedules set on the bridge.", brief_listing_options(),
            Commands::run_schedules_command),
        make_bridge_command<Commands::ScheduleOptions>(
            "schedule", "Allows deleting a Schedule.", schedule_options(),
            Commands::run_schedule_command, Commands::check_schedule_options),
        make_bridge_command<Commands::BriefListingOptions>(
            "scenes", "Enumerates Scenes stored on the bridge.", brief_listing_options(),
            Commands::run_scenes_command),
        make_bridge_command<Commands::SceneOptions>("scene", "Recalls a Scene.", scene_options(),
                                                    Commands::run_scene_command),
        make_bridge_command<Commands::SensorsOptions>(
            "sensors", "Enumerates Sensors and switches with their values.", sensors_options(),
            Commands::run_sensors_command),
        make_bridge_command<Commands::SensorOptions>(
            "sensor", "Prints a Sensor, or switches it on or off.", sensor_options(),
            Commands::run_sensor_command, Commands::check_sensor_options),
        make_bridge_command<Commands::ListingOptions>(
            "state", "Prints lights, groups, schedules, scenes, sensors, rules.", listing_options(),
            Commands::run_state_command),
        streaming(make_bridge_command<Commands::WatchOptions>(
            "watch", "Prints a line for each change of a light, group or sensor, as it happens.",
            watch_options(), Commands::run_watch_command, Commands::check_watch_options)),
        make_command<NoOptions>("help", "Prints this help, or the help of the command after it.",
                                {}, run_help),
        make_command<NoOptions>("version", "Prints the version of glowrig.", {json<NoOptions>()},
                                run_version),
    };
    return kCommands;
}

const Command* find_command(const std::string& word) {
    const std::string lower = boost::algorithm::to_lower_copy(word, std::locale::classic());
    for (const Command& command : command_table()) {
        if (lower == command.word) return &command;
    }
    return nullptr;
}

}  // namespace Cli
