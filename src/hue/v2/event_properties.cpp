#include "hue/v2/event_properties.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace Hue::V2 {
namespace {

// The members every resource of an event carries to name it.
bool names_it(std::string_view key) {
    return key == "id" || key == "id_v1" || key == "type" || key == "owner" || key == "service_id";
}

const Json::Value* member_of(const Json::Value& item, std::string_view block,
                             std::string_view key) {
    const Json::Value* part = Json::find(item, block);
    return part != nullptr ? Json::find(*part, key) : nullptr;
}

bool fraction(const Json::Value* v) {
    return v != nullptr && v->is_number() && Json::as_double(*v) >= 0 && Json::as_double(*v) <= 1;
}

}  // namespace

std::optional<Json::Value> light_state_after(const Json::Value& state, const Json::Value& item) {
    if (!item.is_object() || Json::has(item, "metadata")) return std::nullopt;
    if (std::all_of(item.items().begin(), item.items().end(),
                    [](const auto& member) { return names_it(member.key()); })) {
        return std::nullopt;
    }
    Json::Value after = state.is_object() ? state : Json::Value::object();
    if (const Json::Value* on = member_of(item, "on", "on"); on != nullptr && on->is_boolean()) {
        after["on"] = *on;
    }
    const Json::Value* brightness = member_of(item, "dimming", "brightness");
    if (brightness != nullptr && brightness->is_number()) {
        const Json::Value* on = Json::find(after, "on");
        const bool lit = on != nullptr && on->is_boolean() && Json::as_bool(*on);
        const auto bri =
            static_cast<std::int64_t>(std::lround(Json::as_double(*brightness) * 254.0 / 100.0));
        after["bri"] = std::clamp<std::int64_t>(bri, lit ? 1 : 0, 254);
    }
    const Json::Value* xy = member_of(item, "color", "xy");
    if (xy != nullptr && fraction(Json::find(*xy, "x")) && fraction(Json::find(*xy, "y"))) {
        after["xy"] = Json::Value::array({Json::at(*xy, "x"), Json::at(*xy, "y")});
        after["colormode"] = "xy";
    }
    const Json::Value* mirek = member_of(item, "color_temperature", "mirek");
    if (mirek != nullptr && Json::is_integer(*mirek)) {
        after["ct"] = *mirek;
        after["colormode"] = "ct";
    }
    return after;
}

}  // namespace Hue::V2
