#include "commands/sensor_values.hpp"

#include <cmath>

#include "json/text.hpp"
#include "json/value.hpp"

namespace Commands {
namespace {

constexpr const char* kActions[] = {"initial press", "hold", "short release", "long release"};

// `number` rounded to `places` decimals, as the shortest text shows it.
std::string shown(double number, int places) {
    return Json::text(Json::decimal(number, places), Json::Numbers::shortest);
}

double rounded(double number, int places) {
    const double scale = std::pow(10.0, places);
    return std::round(number * scale) / scale;
}

// The members decoded, in the order they are shown.
enum class Decoded {
    presence,
    temperature,
    lightlevel,
    dark,
    daylight,
    buttonevent,
    battery,
    reachable
};

struct Member {
    const char* name;
    const char* label;
    Decoded kind;
};

constexpr Member kDecoded[] = {
    {"presence", "Presence", Decoded::presence},
    {"temperature", "Temperature", Decoded::temperature},
    {"lightlevel", "LightLevel", Decoded::lightlevel},
    {"dark", "Dark", Decoded::dark},
    {"daylight", "Daylight", Decoded::daylight},
    {"buttonevent", "LastButton", Decoded::buttonevent},
    {"battery", "Battery", Decoded::battery},
    {"reachable", "Reachable", Decoded::reachable},
};

bool decodes(Decoded kind, const Json::Value& value) {
    switch (kind) {
        case Decoded::presence:
        case Decoded::dark:
        case Decoded::daylight:
        case Decoded::reachable:
            return value.is_boolean();
        default:
            return value.is_number_integer();
    }
}

// The word of a decoded member's value (decodes() holds).
std::string word_of(Decoded kind, const Json::Value& value) {
    switch (kind) {
        case Decoded::presence:
            return value.get<bool>() ? "motion" : "no motion";
        case Decoded::temperature:
            return celsius_text(celsius(Json::as_int64(value)));
        case Decoded::lightlevel:
            return lux_text(lux(Json::as_int64(value)));
        case Decoded::dark:
            return value.get<bool>() ? "dark" : "not dark";
        case Decoded::daylight:
            return value.get<bool>() ? "daylight" : "no daylight";
        case Decoded::buttonevent:
            return button_text(Json::as_int64(value));
        case Decoded::battery:
            return "battery " + std::to_string(Json::as_int64(value)) + "%";
        case Decoded::reachable:
            return value.get<bool>() ? "reachable" : "unreachable";
    }
    return std::string();
}

}  // namespace

std::optional<ButtonEvent> button_event(std::int64_t code) {
    const std::int64_t button = code / 1000;
    const std::int64_t action = code % 1000;
    if (button < 1 || action < 0 || action > 3) return std::nullopt;
    return ButtonEvent{button, kActions[action]};
}

std::string button_text(std::int64_t code) {
    const std::optional<ButtonEvent> event = button_event(code);
    if (!event) return "buttonevent " + std::to_string(code);
    return "button " + std::to_string(event->button) + " " + event->action;
}

double celsius(std::int64_t hundredths) { return static_cast<double>(hundredths) / 100; }

double lux(std::int64_t lightlevel) {
    if (lightlevel <= 0) return 0;
    const double value = std::pow(10.0, static_cast<double>(lightlevel - 1) / 10000);
    return rounded(value, value < 10 ? 1 : 0);
}

std::string celsius_text(double degrees) { return shown(degrees, 2) + " °C"; }

std::string lux_text(double lux) { return shown(lux, 1) + " lux"; }

std::vector<SensorValue> sensor_values(const Json::Value& state) {
    std::vector<SensorValue> values;
    if (!state.is_object()) return values;
    for (const Member& member : kDecoded) {
        const Json::Value* value = Json::find(state, member.name);
        if (value == nullptr || !decodes(member.kind, *value)) continue;
        std::string word = word_of(member.kind, *value);
        std::string text = value->is_boolean() && member.kind != Decoded::presence
                               ? std::string(value->get<bool>() ? "1" : "0")
                               : word;
        values.push_back({member.label, std::move(word), std::move(text)});
    }
    for (const auto& [name, value] : state.items()) {
        if (name == "lastupdated") continue;
        bool decoded = false;
        for (const Member& member : kDecoded) {
            decoded = decoded || (name == member.name && decodes(member.kind, value));
        }
        if (decoded) continue;
        const std::string text = Json::text(value, Json::Numbers::shortest);
        values.push_back({name, name + "=" + text, text});
    }
    return values;
}

}  // namespace Commands
