#include "hue/details/light_state_json.hpp"

#include <cmath>
#include <string>

#include "hue/details/resource_impl.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "json/text.hpp"
#include "util/colour.hpp"

namespace Hue {
namespace details {
namespace {

using Json::Value;

// The low 16 bits of an integer reported by the bridge. The number is read
// as a 64-bit integer first, so 65536 gives 0 rather than a clamped value; a
// number with a fraction is cut to its integral part.
std::uint16_t low_16_bits(const Value& v) {
    if (Json::is_integer(v)) return static_cast<std::uint16_t>(Json::as_int64(v));
    double whole = std::fmod(std::trunc(Json::as_double(v)), 65536.0);
    if (std::isnan(whole)) throw Json::Error("not an integer");
    if (whole < 0) whole += 65536.0;
    return static_cast<std::uint16_t>(whole);
}

std::uint8_t low_8_bits(const Value& v) { return static_cast<std::uint8_t>(low_16_bits(v)); }

// Where the reader records the keys it found: a group action in its flags,
// cleared first; a light's state nowhere.
std::uint32_t& presence_bits(GroupAction& action, std::uint32_t&) { return action.flags = 0; }
std::uint32_t& presence_bits(LightState&, std::uint32_t& unused) { return unused; }

// Reachability belongs to a light's state only.
void read_reachable(const Value& object, LightState& state) {
    read_field(object, "reachable", state.reachable);
}
void read_reachable(const Value&, GroupAction&) {}

}  // namespace

template <class Record>
void read_state(const Value& object, Record& record, std::uint32_t* keys) {
    std::uint32_t unused = 0;
    std::uint32_t& found = presence_bits(record, unused);
    if (keys != nullptr) *keys = 0;
    if (!object.is_object()) throw Json::Error("not an object");
    // Reads `key` with `read` when present, then records its bit.
    auto key = [&](const char* name, std::uint32_t bit, auto read) {
        const Value* value = Json::find(object, name);
        if (value == nullptr) return;
        read(*value);
        found |= bit;
        if (keys != nullptr) *keys |= bit;
    };
    key("on", GroupActionField::on, [&](const Value& v) { record.on = Json::as_bool(v); });
    key("effect", GroupActionField::effect,
        [&](const Value& v) { record.effect = Json::as_string(v); });
    key("alert", GroupActionField::alert,
        [&](const Value& v) { record.alert = Json::as_string(v); });
    key("hue", GroupActionField::hue, [&](const Value& v) { record.hue = low_16_bits(v); });
    key("bri", GroupActionField::bri, [&](const Value& v) { record.bri = low_8_bits(v); });
    key("sat", GroupActionField::sat, [&](const Value& v) { record.sat = low_8_bits(v); });
    key("ct", GroupActionField::ct, [&](const Value& v) { record.ct = low_16_bits(v); });
    key("xy", GroupActionField::xy, [&](const Value& v) {
        const Value::array_t& xy = Json::as_array(v);
        if (xy.size() > 0) record.x = static_cast<float>(Json::as_double(xy[0]));
        if (xy.size() > 1) record.y = static_cast<float>(Json::as_double(xy[1]));
    });
    read_reachable(object, record);
    key("colormode", GroupActionField::colormode,
        [&](const Value& v) { record.colormode = color_mode_from_text(Json::as_string(v)); });
}

Value state_change(const LightFields& reported, const LightFields& desired,
                   std::uint16_t transitiontime, std::uint32_t always) {
    Value body = Value::object();
    // Sets body[key] to `wanted` when it differs from `was` or `bit` is in `always`.
    auto put = [&](const char* key, std::uint32_t bit, const auto& wanted, const auto& was) {
        if ((always & bit) != 0 || wanted != was) body[key] = wanted;
    };
    put("effect", LightField::effect, desired.effect, reported.effect);
    put("alert", LightField::alert, desired.alert, reported.alert);
    put("on", LightField::on, desired.on, reported.on);
    put("bri", LightField::bri, int{desired.bri}, int{reported.bri});
    put("ct", LightField::ct, int{desired.ct}, int{reported.ct});
    put("hue", LightField::hue, int{desired.hue}, int{reported.hue});
    put("sat", LightField::sat, int{desired.sat}, int{reported.sat});
    if (desired.bri_inc != 0) body["bri_inc"] = desired.bri_inc;
    if (desired.ct_inc != 0) body["ct_inc"] = desired.ct_inc;
    // A light takes x and y to four decimals: more digits say nothing, and a
    // point that differs in them alone is the point the light shows.
    const auto differs = [](float wanted, float was) {
        return Util::four_decimals(wanted) != Util::four_decimals(was);
    };
    if ((always & LightField::xy) != 0 || differs(desired.x, reported.x) ||
        differs(desired.y, reported.y)) {
        body["xy"] = Value::array({Json::decimal(desired.x, 4), Json::decimal(desired.y, 4)});
    }
    if (body.empty()) return Value();
    if (transitiontime != 0) body["transitiontime"] = transitiontime;
    return body;
}

template void read_state(const Value&, LightState&, std::uint32_t*);
template void read_state(const Value&, GroupAction&, std::uint32_t*);

}  // namespace details
}  // namespace Hue
