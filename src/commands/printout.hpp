#ifndef GLOWRIG_COMMANDS_PRINTOUT_HPP_
#define GLOWRIG_COMMANDS_PRINTOUT_HPP_

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "commands/sensor_values.hpp"

namespace Commands {

// What the commands print, as plain records built before anything is
// written. A value the bridge did not report is absent (nullopt), never a
// default: the text printout shows its default, the JSON printout null.

// One user of a bridge's whitelist.
struct WhitelistUserPrintout {
    std::string id;
    std::string name;
    std::tm create_date{};
    std::tm last_use_date{};
};

// A bridge's firmware update ("swupdate"), reported whole or not at all.
struct FirmwareUpdatePrintout {
    std::int32_t updatestate = 0;
    bool notify = false;
    std::string url;
    std::string text;
};

// The proxy a bridge itself uses.
struct ProxyPrintout {
    std::string address;  // its host name or address, in lower case
    int port = 0;
};

// A bridge's configuration. A bridge shows a user it does not know only a few
// members, so that every one of them may be absent.
struct ConfigurationPrintout {
    std::optional<std::string> name;
    std::optional<bool> linkbutton;
    std::optional<ProxyPrintout> proxy;  // absent also when the bridge uses none
    std::optional<std::string> ipaddress;
    std::optional<std::string> mac;
    std::optional<std::string> netmask;
    std::optional<std::string> gateway;
    std::optional<bool> dhcp;
    std::optional<bool> portalservices;
    std::optional<std::tm> utc;
    std::optional<std::string> swversion;
    std::optional<FirmwareUpdatePrintout> swupdate;
    std::optional<std::vector<WhitelistUserPrintout>> whitelist;  // in user id order
};

// The printout of "config": the line of what it did ("User created", ...)
// when it did something, then the configuration.
struct ConfigPrintout {
    std::optional<std::string> result;
    ConfigurationPrintout configuration;
};

// A colour mode ("hs", "xy" or "ct"; absent when the bridge reported none of
// them) and the values of that mode alone: hue and sat, x and y, or ct.
struct ColorPrintout {
    std::optional<std::string> mode;
    std::optional<std::uint16_t> hue;
    std::optional<unsigned> sat;
    std::optional<float> x;
    std::optional<float> y;
    std::optional<std::uint16_t> ct;
};

// The fields a group's last action and a light's state share.
struct ActionPrintout {
    std::optional<bool> on;
    std::optional<std::string> alert;
    std::optional<std::string> effect;
    std::optional<ColorPrintout> color;  // absent when no colour field was reported
    std::optional<unsigned> bri;
};

// A light's state.
struct LightStatePrintout : ActionPrintout {
    std::optional<bool> reachable;
};

// A point of a colour triangle.
struct PointPrintout {
    double x = 0;
    double y = 0;
};

// The range of colour temperatures a light shows, in mired.
struct MiredRangePrintout {
    unsigned min = 0;
    unsigned max = 0;
};

// What a light reports it can show: its colour triangle (red, green and blue
// corners) and its colour temperature range, each when reported.
struct CapabilitiesPrintout {
    std::optional<std::vector<PointPrintout>> colorgamut;
    std::optional<MiredRangePrintout> ctrange;
};

// One light. A light given by name alone (a search's new lights, old
// firmware) has neither model, software version nor state. Type, product
// name and capabilities are printed in JSON only.
struct LightPrintout {
    std::string id;
    std::string name;
    std::optional<std::string> modelid;
    std::optional<std::string> swversion;
    std::optional<std::string> type;
    std::optional<std::string> productname;
    std::optional<CapabilitiesPrintout> capabilities;
    LightStatePrintout state;
};

// The printout of "lights" and "light".
struct LightsPrintout {
    std::vector<LightPrintout> lights;
};

// One group: its member lights' ids in order and its last action; its type
// ("Room", ...) and class ("Kitchen", ...) when the bridge reported them.
struct GroupPrintout {
    std::string id;
    std::string name;
    std::vector<std::string> lights;
    ActionPrintout laststate;
    std::optional<std::string> type;
    std::optional<std::string> group_class;
};

// The printout of "groups" and "group".
struct GroupsPrintout {
    std::vector<GroupPrintout> groups;
};

// One schedule. `command` is the JSON text of the command the bridge
// reported; `status` is "enabled" or "disabled".
struct SchedulePrintout {
    std::string id;
    std::string name;
    std::optional<std::string> time;  // as the bridge writes it
    std::string description;
    std::optional<std::string> command;
    std::optional<std::string> status;
};

// The printout of "schedules" and "schedule".
struct SchedulesPrintout {
    std::vector<SchedulePrintout> schedules;
};

// One scene. `group` is present for a scene of a group alone; `lastupdated`
// when the bridge reported when the scene was last stored.
struct ScenePrintout {
    std::string id;
    std::string name;
    std::optional<std::string> group;
    std::vector<std::string> lights;
    std::optional<std::tm> lastupdated;
    // Over the newer interface: whether the scene has a palette to play.
    std::optional<bool> dynamic;
};

// A smart scene of the newer interface: its UUID, name and "active" or "inactive".
struct SmartScenePrintout {
    std::string id;
    std::string name;
    std::string state;
};

// The printout of "scenes"; `smart_scenes` only over the newer interface.
struct ScenesPrintout {
    std::vector<ScenePrintout> scenes;
    std::optional<std::vector<SmartScenePrintout>> smart_scenes;
};

// One sensor: its texts, its state's values decoded (and the state as the
// bridge wrote it, as JSON text) and what its config reported.
struct SensorPrintout {
    std::string id;
    std::string name;
    std::string type;
    std::string modelid;
    std::string swversion;
    std::string state;                // JSON text of the "state" object
    std::vector<SensorValue> values;  // for the text forms, in their order
    std::optional<bool> presence;
    std::optional<double> celsius;  // to a hundredth
    std::optional<double> lux;
    std::optional<bool> dark;
    std::optional<bool> daylight;
    std::optional<ButtonEvent> button;
    std::optional<std::tm> lastupdated;  // absent also for "none"
    std::optional<bool> on;
    std::optional<int> battery;  // percent
    std::optional<bool> reachable;
};

// The printout of "sensors" and "sensor"; `brief` asks for the table of one
// line per sensor in text.
struct SensorsPrintout {
    std::vector<SensorPrintout> sensors;
    bool brief = false;
};

// The printout of "state": everything the bridge reported in one reply.
struct StatePrintout {
    ConfigurationPrintout configuration;
    LightsPrintout lights;
    GroupsPrintout groups;
    SchedulesPrintout schedules;
};

// One bridge found on the network.
struct BridgePrintout {
    std::string id;
    std::string ip;
    unsigned short port = 0;
    std::string scheme;              // "http" or "https"
    std::string address;             // as --bridge takes it: Hue::bridge_text
    std::optional<std::string> mac;  // when the portal reported one
};

// The printout of "bridges".
struct BridgesPrintout {
    std::vector<BridgePrintout> bridges;
};

// The printout of a change that prints no item (a group created or deleted, a
// schedule deleted, a scene recalled): `line` in text (nothing when empty),
// `result` and `id` in JSON.
struct ChangePrintout {
    std::string line;
    std::string result;  // "created", "deleted", "recalled"
    std::optional<std::string> id;
};

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_PRINTOUT_HPP_
