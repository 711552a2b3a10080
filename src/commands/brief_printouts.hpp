#ifndef GLOWRIG_COMMANDS_BRIEF_PRINTOUTS_HPP_
#define GLOWRIG_COMMANDS_BRIEF_PRINTOUTS_HPP_

#include <string>

#include "commands/brief_table.hpp"
#include "commands/printout.hpp"

namespace Hue {
class Groups;
class Lights;
}  // namespace Hue

namespace Commands {

// The brief forms of the listings ("--brief"), one row per item in the
// order of the printout. Names are cut by brief_name; a value the bridge did
// not report shows as "-".

// ID NAME POWER BRIGHTNESS COLOUR REACHABLE TYPE: "on"/"off"; the brightness
// in percent (bri x 100 / 254, rounded, at least 1% when not 0), when the
// light reports one; the colour
// as the light shows it ("2700 K" in ct mode, else the CSS name nearest to
// its xy or hue and saturation and its own "#rrggbb"); "unreachable" or
// nothing. With `swatches`, each light with a state has its colour cell
// start with "██ " in a 24-bit colour escape: its colour (a white for one
// without), dimmed by its brightness, grey when it is off.
BriefTable lights_brief(const Hue::Lights& lights, bool swatches);

// ID NAME TYPE CLASS LIGHTS POWER: the member names (their count when
// long), and "all on", "some on" or "off" by the member lights of `lights`
// (by the group's own "any_on" when none of them is known).
BriefTable groups_brief(const Hue::Groups& groups, const Hue::Lights& lights);

// ID NAME STATUS WHEN ACTION: the time in words ("weekdays 06:30", "in
// 00:30:00"; the time as written when it cannot be read) and the command as
// "group 0: on=false".
BriefTable schedules_brief(const SchedulesPrintout& schedules);

// ID NAME GROUP LIGHTS UPDATED: the group of a group scene, the member names
// as groups_brief shows them, the time of the last store ("2014-05-01 07:00",
// UTC).
BriefTable scenes_brief(const ScenesPrintout& scenes, const Hue::Lights& lights);

// ID ADDRESS MAC: the address as --bridge takes it.
BriefTable bridges_brief(const BridgesPrintout& bridges);

// A schedule time (as the bridge writes it) in words, as schedules_brief
// shows it.
std::string schedule_time_words(const std::string& time);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_BRIEF_PRINTOUTS_HPP_
