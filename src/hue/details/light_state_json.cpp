#include "hue/details/light_state_json.hpp"

#include <cmath>
#include <string>

#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "hue/text.hpp"

namespace Hue {
namespace details {
namespace {

using web::json::value;

static_assert(kEffectKey == GroupActionField::effect && kAlertKey == GroupActionField::alert &&
                  kColorModeKey == GroupActionField::colormode && kXyKey == GroupActionField::xy &&
                  kCtKey == GroupActionField::ct && kHueKey == GroupActionField::hue &&
                  kSatKey == GroupActionField::sat && kBriKey == GroupActionField::bri &&
                  kOnKey == GroupActionField::on,
              "the presence bits of a group action are the reader's key bits");

// The low 16 bits of an integer reported by the bridge. The number is read
// as a 64-bit integer first, so 65536 gives 0 rather than a clamped value; a
// number with a fraction is cut to its integral part.
std::uint16_t low_16_bits(const value& v) {
    const web::json::number& n = v.as_number();
    if (n.is_integral()) return static_cast<std::uint16_t>(n.to_int64());
    double whole = std::fmod(std::trunc(n.to_double()), 65536.0);
    if (std::isnan(whole)) throw web::json::json_exception("not an integer");
    if (whole < 0) whole += 65536.0;
    return static_cast<std::uint16_t>(whole);
}

std::uint8_t low_8_bits(const value& v) { return static_cast<std::uint8_t>(low_16_bits(v)); }

std::string text_of(const value& v) { return v.as_string(); }

// Reachability belongs to a light's state only.
void read_reachable(const value& object, LightState& state, std::uint32_t& found) {
    if (object.has_field("reachable")) {
        state.reachable = object.at("reachable").as_bool();
        found |= kReachableKey;
    }
}
void read_reachable(const value&, GroupAction&, std::uint32_t&) {}

// Reads the keys of a state or action object into `record`, adding the bit
// of each key to `found` as soon as that key has been read.
template <class Record>
void read_state_keys(const value& object, Record& record, std::uint32_t& found) {
    if (!object.is_object()) throw web::json::json_exception("not an object");
    if (object.has_field("on")) {
        record.on = object.at("on").as_bool();
        found |= kOnKey;
    }
    if (object.has_field("effect")) {
        record.effect = text_of(object.at("effect"));
        found |= kEffectKey;
    }
    if (object.has_field("alert")) {
        record.alert = text_of(object.at("alert"));
        found |= kAlertKey;
    }
    if (object.has_field("hue")) {
        record.hue = low_16_bits(object.at("hue"));
        found |= kHueKey;
    }
    if (object.has_field("bri")) {
        record.bri = low_8_bits(object.at("bri"));
        found |= kBriKey;
    }
    if (object.has_field("sat")) {
        record.sat = low_8_bits(object.at("sat"));
        found |= kSatKey;
    }
    if (object.has_field("ct")) {
        record.ct = low_16_bits(object.at("ct"));
        found |= kCtKey;
    }
    if (object.has_field("xy")) {
        const web::json::array& xy = object.at("xy").as_array();
        if (xy.size() > 0) record.x = static_cast<float>(xy.at(0).as_double());
        if (xy.size() > 1) record.y = static_cast<float>(xy.at(1).as_double());
        found |= kXyKey;
    }
    read_reachable(object, record, found);
    if (object.has_field("colormode")) {
        record.colormode = color_mode_from_text(text_of(object.at("colormode")));
        found |= kColorModeKey;
    }
}

template <class Record>
value change_body(const Record& reported, const Record& desired, std::uint16_t transitiontime) {
    value body = value::object();
    if (desired.effect != reported.effect) body["effect"] = value::string(desired.effect);
    if (desired.alert != reported.alert) body["alert"] = value::string(desired.alert);
    if (desired.on != reported.on) body["on"] = value::boolean(desired.on);
    if (desired.bri != reported.bri) body["bri"] = value::number(desired.bri);
    if (desired.ct != reported.ct) body["ct"] = value::number(desired.ct);
    if (desired.hue != reported.hue) body["hue"] = value::number(desired.hue);
    if (desired.sat != reported.sat) body["sat"] = value::number(desired.sat);
    if (desired.x != reported.x || desired.y != reported.y) {
        body["xy"] = value::array({value::number(static_cast<double>(desired.x)),
                                   value::number(static_cast<double>(desired.y))});
    }
    if (body.size() == 0) return value::null();
    if (transitiontime != 0) body["transitiontime"] = value::number(transitiontime);
    return body;
}

}  // namespace

void read_light_state(const value& object, LightState& state) {
    std::uint32_t found = 0;
    read_state_keys(object, state, found);
}

void read_group_action(const value& object, GroupAction& action) {
    action.flags = 0;
    read_state_keys(object, action, action.flags);
}

value state_change(const LightState& reported, const LightState& desired,
                   std::uint16_t transitiontime) {
    return change_body(reported, desired, transitiontime);
}

value state_change(const GroupAction& reported, const GroupAction& desired,
                   std::uint16_t transitiontime) {
    return change_body(reported, desired, transitiontime);
}

}  // namespace details
}  // namespace Hue
