#include "commands/light_options.hpp"

#include <initializer_list>
#include <stdexcept>

#include "commands/command.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"

namespace commands {
namespace {

namespace po = boost::program_options;

// The value of the integer option `name`, refused unless it lies in 0..`high`.
template <class Field>
std::optional<Field> ranged(const po::variables_map& options, const char* name, int high) {
    if (!options.count(name)) return std::nullopt;
    const int value = options[name].as<int>();
    if (value < 0 || value > high) {
        throw UsageError(std::string("Error: option '") + name + "' must be between 0 and " +
                         std::to_string(high) + ".");
    }
    return static_cast<Field>(value);
}

// The value of `name` when it is one of `allowed`; any other value is
// refused, so that a typo never becomes another command ("none").
std::optional<std::string> word(const po::variables_map& options, const char* name,
                                std::initializer_list<const char*> allowed, const char* rule) {
    if (!options.count(name)) return std::nullopt;
    const std::string& value = options[name].as<std::string>();
    for (const char* text : allowed) {
        if (value == text) return value;
    }
    throw UsageError(std::string("Error: option '") + name + "' must be " + rule + ".");
}

template <class Record>
void apply(const StateOptions& changes, Record& record) {
    if (changes.on) record.on = *changes.on;
    if (changes.bri) record.bri = *changes.bri;
    if (changes.ct) record.ct = *changes.ct;
    if (changes.hue) record.hue = *changes.hue;
    if (changes.sat) record.sat = *changes.sat;
    if (changes.alert) record.alert = *changes.alert;
    if (changes.effect) record.effect = *changes.effect;
}

}  // namespace

StateOptions read_state_options(const po::variables_map& options) {
    StateOptions changes;
    if (options.count("off")) changes.on = false;
    if (options.count("on")) changes.on = true;
    changes.bri = ranged<std::uint8_t>(options, "bri", 255);
    changes.ct = ranged<std::uint16_t>(options, "ct", 65535);
    changes.hue = ranged<std::uint16_t>(options, "hue", 65535);
    changes.sat = ranged<std::uint8_t>(options, "sat", 255);
    changes.transitiontime = ranged<std::uint16_t>(options, "trans", 65535).value_or(0);
    changes.alert =
        word(options, "alert", {"none", "select", "lselect"}, "none, select or lselect");
    changes.effect = word(options, "effect", {"none", "colorloop"}, "none or colorloop");
    return changes;
}

std::uint32_t fields_given(const StateOptions& changes) {
    std::uint32_t fields = 0;
    if (changes.on) fields |= Hue::LightField::on;
    if (changes.bri) fields |= Hue::LightField::bri;
    if (changes.ct) fields |= Hue::LightField::ct;
    if (changes.hue) fields |= Hue::LightField::hue;
    if (changes.sat) fields |= Hue::LightField::sat;
    if (changes.alert) fields |= Hue::LightField::alert;
    if (changes.effect) fields |= Hue::LightField::effect;
    return fields;
}

void apply_state_options(const StateOptions& changes, Hue::LightState& state) {
    apply(changes, state);
}

void apply_state_options(const StateOptions& changes, Hue::GroupAction& action) {
    apply(changes, action);
}

}  // namespace commands
