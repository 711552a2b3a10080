#ifndef GLOWRIG_COMMANDS_JSON_PRINTOUT_HPP_
#define GLOWRIG_COMMANDS_JSON_PRINTOUT_HPP_

#include <ostream>
#include <string>

#include "commands/printout.hpp"
#include "json/value_fwd.hpp"

namespace Commands {

// The JSON printouts: one document per command, its members in alphabetical
// order, null for every value the bridge did not report, times as ISO 8601
// UTC text, a colour coordinate as the number nearest to the digits the text
// printout shows. The names are documented in docs/json.md.

// The configuration object: its settings and status, "swupdate" and
// "whitelist" (an array in user id order) included.
Json::Value to_json(const ConfigurationPrintout& configuration);

// The documents of the commands: {"result": ..., "configuration": ...},
// {"lights": [...]}, {"groups": [...]}, {"schedules": [...]},
// {"scenes": [...]},
// {"configuration": ..., "lights": ..., "groups": ..., "schedules": ...},
// {"bridges": [...]} and {"result": ..., "id": ...}.
Json::Value to_json(const ConfigPrintout& config);
Json::Value to_json(const LightsPrintout& lights);
Json::Value to_json(const GroupsPrintout& groups);
Json::Value to_json(const SchedulesPrintout& schedules);
Json::Value to_json(const ScenesPrintout& scenes);
// {"sensors": [...]}: each sensor with its "state" as the bridge wrote it,
// "values" decoded from it and "config".
Json::Value to_json(const SensorsPrintout& sensors);
Json::Value to_json(const StatePrintout& state);
Json::Value to_json(const BridgesPrintout& bridges);
Json::Value to_json(const ChangePrintout& change);

// The document of `printout`, one of the printouts above, as one line of
// JSON text.
template <class Printout>
std::string json_text(const Printout& printout);

// Writes the document of `printout` on one line, then a line end.
template <class Printout>
void print_json(std::ostream& out, const Printout& printout) {
    out << json_text(printout) << std::endl;
}

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_JSON_PRINTOUT_HPP_
