#ifndef GLOWRIG_COMMANDS_JSON_PRINTOUT_HPP_
#define GLOWRIG_COMMANDS_JSON_PRINTOUT_HPP_

#include <ostream>

#include <cpprest/json.h>

#include "commands/printout.hpp"

namespace Commands {

// The JSON printouts: one document per command, its members in alphabetical
// order, null for every value the bridge did not report, times as ISO 8601
// UTC text, a colour coordinate as the number nearest to the digits the text
// printout shows. The names are documented in docs/json.md.

// The configuration object: its settings and status, "swupdate" and
// "whitelist" (an array in user id order) included.
web::json::value to_json(const ConfigurationPrintout& configuration);

// The documents of the commands: {"result": ..., "configuration": ...},
// {"lights": [...]}, {"groups": [...]}, {"schedules": [...]},
// {"configuration": ..., "lights": ..., "groups": ..., "schedules": ...},
// {"bridges": [...]} and {"result": ..., "id": ...}.
web::json::value to_json(const ConfigPrintout& config);
web::json::value to_json(const LightsPrintout& lights);
web::json::value to_json(const GroupsPrintout& groups);
web::json::value to_json(const SchedulesPrintout& schedules);
web::json::value to_json(const StatePrintout& state);
web::json::value to_json(const BridgesPrintout& bridges);
web::json::value to_json(const ChangePrintout& change);

// Writes the document of `printout` on one line, then a line end.
template <class Printout>
void print_json(std::ostream& out, const Printout& printout) {
    out << to_json(printout).serialize() << std::endl;
}

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_JSON_PRINTOUT_HPP_
