#include "hue/details/light_impl.hpp"

#include "hue/details/light_state_json.hpp"

namespace Hue {
namespace details {
namespace {

// A point [x, y] of a colour triangle, when `value` has that shape.
std::optional<Util::Xy> read_point(const Json::Value& value) {
    if (!value.is_array() || value.size() != 2 || !value[0].is_number() || !value[1].is_number()) {
        return std::nullopt;
    }
    return Util::Xy{Json::as_double(value[0]), Json::as_double(value[1])};
}

// The triangle [[red], [green], [blue]], when `value` has that shape.
std::optional<Util::Gamut> read_gamut(const Json::Value& value) {
    if (!value.is_array() || value.size() != 3) return std::nullopt;
    const auto red = read_point(value[0]);
    const auto green = read_point(value[1]);
    const auto blue = read_point(value[2]);
    if (!red || !green || !blue) return std::nullopt;
    return Util::Gamut{*red, *green, *blue};
}

// {"min": M, "max": N}, when both are integers 0 < M <= N < 65536.
std::optional<MiredRange> read_mired_range(const Json::Value& value) {
    const Json::Value* min = Json::find(value, "min");
    const Json::Value* max = Json::find(value, "max");
    if (min == nullptr || max == nullptr || !Json::is_integer(*min) || !Json::is_integer(*max)) {
        return std::nullopt;
    }
    const std::int64_t low = Json::as_int64(*min);
    const std::int64_t high = Json::as_int64(*max);
    if (low <= 0 || low > high || high > 65535) return std::nullopt;
    return MiredRange{static_cast<std::uint16_t>(low), static_cast<std::uint16_t>(high)};
}

// The colour capabilities of a "capabilities" object; a member of another
// shape than the platform's counts as not reported, so that one odd light
// does not fail the listing.
LightCapabilities read_capabilities(const Json::Value& capabilities) {
    LightCapabilities read;
    const Json::Value* control = Json::find(capabilities, "control");
    if (control == nullptr) return read;
    if (const Json::Value* gamut = Json::find(*control, "colorgamut"))
        read.gamut = read_gamut(*gamut);
    if (const Json::Value* ct = Json::find(*control, "ct")) read.ct = read_mired_range(*ct);
    return read;
}

void read_text(const Json::Value& object, const char* key, std::optional<std::string>& field) {
    if (const Json::Value* value = Json::find(object, key)) field = Json::as_string(*value);
}

}  // namespace

void Light_Impl::read(const Json::Value& light) {
    if (!light.is_object()) throw Json::Error("not an object");
    read_field(light, "name", m_name);
    read_text(light, "type", m_type);
    read_field(light, "modelid", m_modelid);
    read_field(light, "swversion", m_swversion);
    read_text(light, "productname", m_productname);
    if (const Json::Value* capabilities = Json::find(light, "capabilities")) {
        m_capabilities = read_capabilities(*capabilities);
    }
    if (const Json::Value* state = Json::find(light, "state")) {
        read_state(*state, m_state, &m_state_keys);
        m_desired = m_state;
        m_always = 0;
        m_whole = true;
    }
}

Json::Value Light_Impl::name_body() const {
    Json::Value body = Json::Value::object();
    body["name"] = m_name;
    return body;
}

Json::Value Light_Impl::state_body(std::uint16_t transitiontime) const {
    return state_change(m_state, m_desired, transitiontime, m_always);
}

}  // namespace details
}  // namespace Hue
