#include "hue/details/light_state_json.hpp"

#include <cmath>
#include <string>

#include "hue/details/resource_impl.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"

namespace Hue {
namespace details {
namespace {

using web::json::value;

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

// Where the reader records the keys it found: a group action in its flags,
// cleared first; a light's state nowhere.
std::uint32_t& presence_bits(GroupAction& action, std::uint32_t&) { return action.flags = 0; }
std::uint32_t& presence_bits(LightState&, std::uint32_t& unused) { return unused; }

// Reachability belongs to a light's state only.
void read_reachable(const value& object, LightState& state) {
    if (object.has_field("reachable")) state.reachable = object.at("reachable").as_bool();
}
void read_reachable(const value&, GroupAction&) {}

}  // namespace

template <class Record>
void read_state(const value& object, Record& record, std::uint32_t* keys) {
    std::uint32_t unused = 0;
    std::uint32_t& found = presence_bits(record, unused);
    if (keys != nullptr) *keys = 0;
    if (!object.is_object()) throw web::json::json_exception("not an object");
    // Reads `key` with `read` when present, then records its bit.
    auto key = [&](const char* name, std::uint32_t bit, auto read) {
        if (!object.has_field(name)) return;
        read(object.at(name));
        found |= bit;
        if (keys != nullptr) *keys |= bit;
    };
    key("on", GroupActionField::on, [&](const value& v) { record.on = v.as_bool(); });
    key("effect", GroupActionField::effect, [&](const value& v) { record.effect = v.as_string(); });
    key("alert", GroupActionField::alert, [&](const value& v) { record.alert = v.as_string(); });
    key("hue", GroupActionField::hue, [&](const value& v) { record.hue = low_16_bits(v); });
    key("bri", GroupActionField::bri, [&](const value& v) { record.bri = low_8_bits(v); });
    key("sat", GroupActionField::sat, [&](const value& v) { record.sat = low_8_bits(v); });
    key("ct", GroupActionField::ct, [&](const value& v) { record.ct = low_16_bits(v); });
    key("xy", GroupActionField::xy, [&](const value& v) {
        const web::json::array& xy = v.as_array();
        if (xy.size() > 0) record.x = static_cast<float>(xy.at(0).as_double());
        if (xy.size() > 1) record.y = static_cast<float>(xy.at(1).as_double());
    });
    read_reachable(object, record);
    key("colormode", GroupActionField::colormode,
        [&](const value& v) { record.colormode = color_mode_from_text(v.as_string()); });
}

value state_change(const LightFields& reported, const LightFields& desired,
                   std::uint16_t transitiontime, std::uint32_t always) {
    value body = value::object();
    // Sets body[key] to `wanted` when it differs from `was` or `bit` is in `always`.
    auto put = [&](const char* key, std::uint32_t bit, const auto& wanted, const auto& was) {
        if ((always & bit) != 0 || wanted != was) body[key] = json_of(wanted);
    };
    put("effect", LightField::effect, desired.effect, reported.effect);
    put("alert", LightField::alert, desired.alert, reported.alert);
    put("on", LightField::on, desired.on, reported.on);
    put("bri", LightField::bri, int{desired.bri}, int{reported.bri});
    put("ct", LightField::ct, int{desired.ct}, int{reported.ct});
    put("hue", LightField::hue, int{desired.hue}, int{reported.hue});
    put("sat", LightField::sat, int{desired.sat}, int{reported.sat});
    if ((always & LightField::xy) != 0 || desired.x != reported.x || desired.y != reported.y) {
        body["xy"] = value::array({value::number(static_cast<double>(desired.x)),
                                   value::number(static_cast<double>(desired.y))});
    }
    if (body.size() == 0) return value::null();
    if (transitiontime != 0) body["transitiontime"] = value::number(transitiontime);
    return body;
}

template void read_state(const value&, LightState&, std::uint32_t*);
template void read_state(const value&, GroupAction&, std::uint32_t*);

}  // namespace details
}  // namespace Hue
