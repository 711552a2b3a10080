#include "commands/state_changes.hpp"

#include "hue/groups.hpp"
#include "hue/lights.hpp"

namespace Commands {
namespace {

template <class Record>
void apply(const StateOptions& changes, Record& record) {
    if (changes.toggle) record.on = !record.on;
    if (changes.off) record.on = false;
    if (changes.on) record.on = true;
    if (changes.bri) {
        if (changes.bri->step) {
            record.bri_inc = changes.bri->value;
        } else {
            record.bri = static_cast<std::uint8_t>(changes.bri->value);
        }
    }
    if (changes.ct) {
        if (changes.ct->step) {
            record.ct_inc = changes.ct->value;
        } else {
            record.ct = static_cast<std::uint16_t>(changes.ct->value);
        }
    }
    if (changes.hue) record.hue = *changes.hue;
    if (changes.sat) record.sat = *changes.sat;
    if (changes.alert) record.alert = *changes.alert;
    if (changes.effect) record.effect = *changes.effect;
}

}  // namespace

std::uint32_t fields_given(const StateOptions& changes) {
    std::uint32_t fields = 0;
    if (changes.on || changes.off || changes.toggle) fields |= Hue::LightField::on;
    // A step is sent whatever the light reports; it has no bit.
    if (changes.bri && !changes.bri->step) fields |= Hue::LightField::bri;
    if ((changes.ct && !changes.ct->step) || changes.kelvin) fields |= Hue::LightField::ct;
    if (changes.color || changes.xy) fields |= Hue::LightField::xy;
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

}  // namespace Commands
