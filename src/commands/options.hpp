#ifndef GLOWRIG_COMMANDS_OPTIONS_HPP_
#define GLOWRIG_COMMANDS_OPTIONS_HPP_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hue/address.hpp"
#include "util/colour.hpp"

namespace Commands {

// The options of each command, as the entry read them from the command line:
// plain records, one per command, whose values the entry has checked against
// their declared ranges and words. An absent option is an empty optional, an
// unset flag false. "--json" is in none of them: the entry decides it once
// and hands it over as the commands' Output.

// The bridge a command talks to ("--bridge"): an address or a bridge id.
struct BridgeOption {
    std::optional<Hue::BridgeName> bridge;
};

// A value an option sets, or the step by which it changes the value the
// light or group has ("--bri=+10", "--ct=-50").
struct Level {
    int value = 0;
    bool step = false;  // value is a step, -N..N, not a value to set
};

// The state changes the light and group commands share: "--on", "--off",
// "--toggle", "--bri", "--ct", "--kelvin", "--hue", "--sat", "--xy",
// "--color", "--alert", "--effect" and "--trans"; and those only the newer
// interface carries out: "--effect" beyond none and colorloop, "--sunrise",
// "--sunset", "--gradient", "--signal", "--signal-colors" and "--signal-for".
struct StateOptions {
    bool on = false;
    bool off = false;                     // never together with on
    bool toggle = false;                  // the opposite of what the light or group reports
    std::optional<Level> bri;             // 0-255 (N% read as N x 254 / 100), or a step of 1-254
    std::optional<Level> ct;              // 0-65535, or a step of 1-65534
    std::optional<std::uint16_t> kelvin;  // 1000-10000, sent as ct
    std::optional<std::uint16_t> hue;
    std::optional<std::uint8_t> sat;
    std::optional<Util::Xy> xy;           // "X,Y", each 0-1
    std::optional<Util::Xy> color;        // "#rrggbb", "rrggbb", "rgb(R,G,B)" or a colour name
    std::optional<std::string> alert;     // none, select or lselect
    std::optional<std::string> effect;    // none, colorloop or an effect the light reports
    std::optional<std::uint16_t> trans;   // tenths of a second
    std::optional<std::string> sunrise;   // a duration: "90s", "30m", "1h30m" or seconds; <= 6 h
    std::optional<std::string> sunset;    // the same
    std::optional<std::string> gradient;  // "COLOUR,COLOUR[,...]", each as "--color" reads it
    std::optional<std::string> signal;    // on_off, on_off_color or alternating
    std::optional<std::string> signal_colors;  // "COLOUR[,COLOUR]": one or two, as the signal takes
    std::optional<std::uint16_t> signal_for;   // seconds, 1-65534; 10 unless given
};

// A listing printed one line per item ("--brief"); "--json" wins over it.
struct BriefOption {
    bool brief = false;
};

struct BridgesOptions : BriefOption {};

// "state".
struct ListingOptions : BridgeOption {};

// "groups", "schedules" and "scenes".
struct BriefListingOptions : BridgeOption, BriefOption {};

// "groups": "--type" lets through only groups of one kind.
struct GroupsOptions : BriefListingOptions {
    std::optional<std::string> type;  // group, room or zone
};

struct ConfigOptions : BridgeOption {
    bool auth = false;
    std::optional<std::string> deauth;  // the user name to remove
    bool updatefw = false;
};

struct LightsOptions : BridgeOption, BriefOption {
    bool find = false;
};

struct LightOptions : BridgeOption, StateOptions {
    std::string id;
    std::optional<std::string> name;
};

struct GroupOptions : BridgeOption, StateOptions {
    std::string id;  // "new" creates one
    std::optional<std::string> name;
    std::vector<std::string> lights;         // "-l", in the order given
    bool remove = false;                     // "--delete"
    std::optional<std::string> type;         // of a new group: group, room or zone
    std::optional<std::string> group_class;  // "--class" of a new room or zone, as given
};

struct ScheduleOptions : BridgeOption {
    std::string id;
    std::optional<std::string> name;
    std::optional<std::string> description;  // "--desc"
    bool remove = false;                     // "--delete"
    bool enable = false;
    bool disable = false;  // never together with enable
};

struct SceneOptions : BridgeOption {
    std::string id;                    // a scene's id or name
    std::optional<std::string> group;  // a group's id or name
    bool dynamic = false;              // recall the scene's palette, at `speed`
    std::optional<std::string> speed;  // 0 to 1
    bool off = false;                  // deactivate the smart scene `id`
};

// "sensors": "--brief" prints a line per sensor.
struct SensorsOptions : BridgeOption {
    bool brief = false;
};

// "sensor": switches the sensor "id" (an id or a name) on or off, never both.
struct SensorOptions : BridgeOption {
    std::string id;
    bool on = false;
    bool off = false;
};

// "watch": how long ("--for", seconds), how many lines ("--count") and how
// often the bridge is read ("--interval", milliseconds); which kinds
// ("--type") and which resources ("--id", ids or names) it prints, each as
// given: repeated or comma-separated lists.
struct WatchOptions : BridgeOption {
    std::optional<int> seconds;
    std::optional<int> count;
    std::optional<int> interval;
    std::vector<std::string> types;
    std::vector<std::string> ids;
};

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_OPTIONS_HPP_
