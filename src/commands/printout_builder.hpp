#ifndef GLOWRIG_COMMANDS_PRINTOUT_BUILDER_HPP_
#define GLOWRIG_COMMANDS_PRINTOUT_BUILDER_HPP_

#include <vector>

#include "commands/printout.hpp"

namespace Hue {
class Bridge;
class Configuration;
class Group;
class Groups;
class Light;
class Lights;
class Scene;
class Scenes;
class Schedule;
class Schedules;
}  // namespace Hue

namespace Commands {

// The printout records of the bridge's resources as last read: what the
// bridge reported is present, what it did not is absent.

// A configuration member is present when the object last read held it; the
// proxy when it held "proxyaddress" and a "proxyport" other than 0 (which
// means none).
ConfigurationPrintout configuration_printout(const Hue::Configuration& configuration);

// A light known whole has its model, software version and state; of the
// state, "effect" is present only when the bridge reported it and the colour
// holds the values of its mode. A light known by name alone has neither.
LightPrintout light_printout(const Hue::Light& light);
LightsPrintout lights_printout(const Hue::Lights& lights);

// A group's last action holds the fields the bridge reported; its colour is
// present when any colour field was.
GroupPrintout group_printout(const Hue::Group& group);
GroupsPrintout groups_printout(const Hue::Groups& groups);

// A schedule's time is absent when it has none, its command when none was
// read, its status when the bridge reported none.
SchedulePrintout schedule_printout(const Hue::Schedule& schedule);
SchedulesPrintout schedules_printout(const Hue::Schedules& schedules);

// A scene's group is present for a group scene.
ScenePrintout scene_printout(const Hue::Scene& scene);
ScenesPrintout scenes_printout(const Hue::Scenes& scenes);

// The printout of a whole bridge state.
StatePrintout state_printout(const Hue::Configuration& configuration, const Hue::Lights& lights,
                             const Hue::Groups& groups, const Hue::Schedules& schedules);

// A bridge with its address in the form --bridge takes: "IP[:PORT]" for plain
// HTTP, "https://IP[:PORT]" for HTTPS, the port written unless it is the
// scheme's own; the MAC address is absent when empty (not from the portal).
BridgePrintout bridge_printout(const Hue::Bridge& bridge);
BridgesPrintout bridges_printout(const std::vector<Hue::Bridge>& bridges);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_PRINTOUT_BUILDER_HPP_
