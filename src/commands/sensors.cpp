#include "commands/sensors.hpp"

#include <iomanip>
#include <locale>
#include <sstream>
#include <string>

#include "commands/items.hpp"
#include "commands/render.hpp"
#include "commands/usage_error.hpp"
#include "hue/bridge.hpp"
#include "hue/sensors.hpp"
#include "json/text.hpp"
#include "json/value.hpp"

namespace Commands {
namespace {

// The time a bridge writes, "YYYY-MM-DDTHH:MM:SS" (UTC); none for "none"
// and anything else.
std::optional<std::tm> bridge_time(const Json::Value& value) {
    if (!value.is_string()) return std::nullopt;
    std::istringstream stream(value.get<std::string>());
    stream.imbue(std::locale::classic());
    std::tm time{};
    stream >> std::get_time(&time, "%Y-%m-%dT%H:%M:%S");
    if (stream.fail()) return std::nullopt;
    return time;
}

// The member `key` of `state` when it is of the type `is` checks.
const Json::Value* typed(const Json::Value& state, const char* key,
                         bool (Json::Value::*is)() const noexcept) {
    const Json::Value* value = Json::find(state, key);
    return value != nullptr && (value->*is)() ? value : nullptr;
}

std::optional<bool> flag(const Json::Value& state, const char* key) {
    const Json::Value* value = typed(state, key, &Json::Value::is_boolean);
    return value ? std::optional<bool>(value->get<bool>()) : std::nullopt;
}

std::optional<std::int64_t> integer(const Json::Value& state, const char* key) {
    const Json::Value* value = typed(state, key, &Json::Value::is_number_integer);
    return value ? std::optional<std::int64_t>(Json::as_int64(*value)) : std::nullopt;
}

}  // namespace

SensorPrintout sensor_printout(const Hue::Sensor& sensor) {
    const Json::Value state = sensor.state();
    const Hue::SensorConfig config = sensor.config();
    SensorPrintout printout;
    printout.id = sensor.id();
    printout.name = sensor.name();
    printout.type = sensor.type();
    printout.modelid = sensor.modelid();
    printout.swversion = sensor.swversion();
    printout.state = Json::text(state, Json::Numbers::shortest);
    printout.values = sensor_values(state);
    printout.presence = flag(state, "presence");
    if (const auto temperature = integer(state, "temperature")) {
        printout.celsius = celsius(*temperature);
    }
    if (const auto level = integer(state, "lightlevel")) printout.lux = lux(*level);
    printout.dark = flag(state, "dark");
    printout.daylight = flag(state, "daylight");
    if (const auto code = integer(state, "buttonevent")) printout.button = button_event(*code);
    if (const Json::Value* lastupdated = Json::find(state, "lastupdated")) {
        printout.lastupdated = bridge_time(*lastupdated);
    }
    printout.on = config.on;
    printout.battery = config.battery;
    printout.reachable = config.reachable;
    return printout;
}

void check_sensor_options(const SensorOptions& options) {
    if (options.on && options.off) {
        throw UsageError("Error: options --on and --off exclude each other.");
    }
}

void run_sensors_command(const SensorsOptions& options, const Settings& settings,
                         const Access::Target& target, const Output& output) {
    SensorsPrintout printout;
    printout.brief = options.brief;
    for (const Hue::Sensor& sensor : target.bridge.get_sensors(settings.client, target.identity)) {
        printout.sensors.push_back(sensor_printout(sensor));
    }
    render(output, printout);
}

void run_sensor_command(const SensorOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output) {
    const Hue::Sensors sensors = target.bridge.get_sensors(settings.client, target.identity);
    Hue::Sensor sensor = find_item(sensors, id_named(sensors, options.id, "sensor"), "sensor");
    if (options.on || options.off) {
        sensor.save_on(options.on);
        sensor.refresh();
    }
    render(output, SensorsPrintout{{sensor_printout(sensor)}, false});
}

}  // namespace Commands
