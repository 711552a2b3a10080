#ifndef GLOWRIG_COMMANDS_SENSORS_HPP_
#define GLOWRIG_COMMANDS_SENSORS_HPP_

#include "access/bridge_selection.hpp"
#include "commands/options.hpp"
#include "commands/output.hpp"
#include "commands/printout.hpp"
#include "commands/run_settings.hpp"

namespace Hue {
class Sensor;
}  // namespace Hue

namespace Commands {

// The printout of `sensor` as last read: its state's values decoded, a value
// of the wrong type left to the raw members, "lastupdated" absent unless it
// is a time "YYYY-MM-DDTHH:MM:SS".
SensorPrintout sensor_printout(const Hue::Sensor& sensor);

// Refuses "--on" with "--off" (UsageError).
void check_sensor_options(const SensorOptions& options);

// Runs the "sensors" command: prints every sensor of the sensors listing,
// labelled, or a line each with "--brief".
void run_sensors_command(const SensorsOptions& options, const Settings& settings,
                         const Access::Target& target, const Output& output);

// Runs the "sensor" command: finds the sensor "id" (an id or a name, see
// id_named) in the sensors listing; with "--on" or "--off" sets its
// config's "on" and reads it again; prints it. Throws std::runtime_error
// "Error: no sensor with id X." for a sensor the listing does not hold,
// before anything is sent.
void run_sensor_command(const SensorOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_SENSORS_HPP_
