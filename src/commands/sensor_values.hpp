#ifndef GLOWRIG_COMMANDS_SENSOR_VALUES_HPP_
#define GLOWRIG_COMMANDS_SENSOR_VALUES_HPP_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "json/value_fwd.hpp"

namespace Commands {

// A switch's button event: the button (1, 2, ...) and what happened to it.
struct ButtonEvent {
    std::int64_t button = 0;
    std::string action;  // "initial press", "hold", "short release" or "long release"
};

// The event of a "buttonevent" code: the button in its thousands, the action
// in the rest, 0 to 3 (2002: button 2, short release). None for a code of
// another form.
std::optional<ButtonEvent> button_event(std::int64_t code);

// "button 2 short release" for 2002; "buttonevent 34" for a code of another
// form.
std::string button_text(std::int64_t code);

// The degrees Celsius of a "temperature", which is reported in hundredths.
double celsius(std::int64_t hundredths);

// The lux of a "lightlevel", reported as 10000 x log10(lux) + 1, to a tenth
// below 10 lux and whole above; 0 for a level of 0 or less (darkness).
double lux(std::int64_t lightlevel);

// "21.57 °C" and "312 lux", "3.2 lux": a value above with its unit.
std::string celsius_text(double degrees);
std::string lux_text(double lux);

// One value of a sensor's state as the sensors listings and watch show it.
struct SensorValue {
    std::string label;  // of the labelled listing: "Presence"; a member not decoded: its name
    std::string word;   // of the brief listing and watch: "motion", "21.57 °C", "status=1"
    std::string text;   // of the labelled listing: the word, booleans as 1 and 0,
                        // a member not decoded as JSON text
};

// The values of `state`, a sensor's "state" or the changed members of one:
// "presence" (motion, no motion), "temperature", "lightlevel", "dark" (dark,
// not dark), "daylight" (daylight, no daylight), "buttonevent", "battery"
// (battery 15%) and "reachable" (reachable, unreachable), in that order when
// they have their type; then every other member but
// "lastupdated", in name order, as NAME=JSON. Nothing of a value that is not
// an object.
std::vector<SensorValue> sensor_values(const Json::Value& state);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_SENSOR_VALUES_HPP_
