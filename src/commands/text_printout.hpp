#ifndef GLOWRIG_COMMANDS_TEXT_PRINTOUT_HPP_
#define GLOWRIG_COMMANDS_TEXT_PRINTOUT_HPP_

#include <ostream>

#include "commands/printout.hpp"

namespace Commands {

// The text printouts: indented, labelled lines, each ended with std::endl
// (which flushes), booleans as 1 and 0, times as "Thu May  1 07:00:00 2014
// UTC", every text from the bridge made printable. A value the bridge did
// not report prints its default (an empty text, 0, "none", the epoch) except
// in a group's last state, which shows only the lines reported.

// "Configuration:" and the labelled settings, status and whitelist.
void print_text(std::ostream& out, const ConfigurationPrintout& configuration);

// The line of what "config" did, when it did something, then the configuration.
void print_text(std::ostream& out, const ConfigPrintout& config);

// "Lights:" and, for each light, an empty line and its labelled fields.
void print_text(std::ostream& out, const LightsPrintout& lights);

// "Groups:" and, for each group, an empty line, its labelled fields and the
// parts of its last action that the bridge reported.
void print_text(std::ostream& out, const GroupsPrintout& groups);

// "Schedules:" and, for each schedule, an empty line and its labelled fields.
void print_text(std::ostream& out, const SchedulesPrintout& schedules);

// "Scenes:" and, for each scene, an empty line and its labelled fields: the
// group empty for a scene of lights alone, the last update empty when the
// bridge reported none.
void print_text(std::ostream& out, const ScenesPrintout& scenes);

// "Sensors:" and, for each sensor, an empty line, its labelled fields, the
// values of its state and what its config reported; with `brief`, a table
// of one line per sensor: ID, NAME, TYPE, VALUE (the state's values, comma
// separated), BATTERY, REACHABLE and ON (yes or no; empty when not reported).
void print_text(std::ostream& out, const SensorsPrintout& sensors);

// "State:", then the configuration, lights, groups and schedules, each
// followed by an empty line.
void print_text(std::ostream& out, const StatePrintout& state);

// "Local Bridges", an empty line, the table's header and one row per bridge:
// the id padded to 20 characters, the address, a tab and the MAC address.
void print_text(std::ostream& out, const BridgesPrintout& bridges);

// The change's line, when it has one.
void print_text(std::ostream& out, const ChangePrintout& change);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_TEXT_PRINTOUT_HPP_
