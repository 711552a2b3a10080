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

bool bare(const Json::Value& item) {
    return std::all_of(item.items().begin(), item.items().end(),
                       [](const auto& member) { return names_it(member.key()); });
}

const Json::Value* text_member(const Json::Value* object, std::string_view key) {
    const Json::Value* v = object != nullptr ? Json::find(*object, key) : nullptr;
    return v != nullptr && v->is_string() ? v : nullptr;
}

// The older "lastupdated" of a report's time: "2026-12-08T07:00:00" of
// "2026-12-08T07:00:00.123Z"; nothing for a time of another form.
void set_time(Json::Value& state, const Json::Value* report, std::string_view key) {
    const Json::Value* at = text_member(report, key);
    if (at == nullptr) return;
    const std::string& text = at->get_ref<const std::string&>();
    if (text.size() < 19 || text[10] != 'T') return;
    state["lastupdated"] = text.substr(0, 19);
}

// The report block `report_key` of the item's `block`, else the block itself
// (older bridges give the value there), with the value `key`.
const Json::Value* reported(const Json::Value& item, std::string_view block,
                            std::string_view report_key, std::string_view key,
                            const Json::Value** report) {
    const Json::Value* part = Json::find(item, block);
    if (part == nullptr || !part->is_object()) return nullptr;
    const Json::Value* from = Json::find(*part, report_key);
    if (from == nullptr || !from->is_object()) from = part;
    *report = from;
    return Json::find(*from, key);
}

// The older code's action of a button event; -1 for one without.
int button_action(std::string_view event) {
    if (event == "initial_press") return 0;
    if (event == "repeat" || event == "long_press") return 1;
    if (event == "short_release") return 2;
    if (event == "long_release") return 3;
    return -1;
}

std::optional<std::int64_t> control_of(const Json::Value& item, const ButtonControls& controls) {
    const Json::Value* control = member_of(item, "metadata", "control_id");
    if (control != nullptr && Json::is_integer(*control)) return Json::as_int64(*control);
    const Json::Value* id = text_member(&item, "id");
    if (id == nullptr) return std::nullopt;
    const auto known = controls.find(id->get<std::string>());
    return known != controls.end() ? std::optional(known->second) : std::nullopt;
}

// Applies one sensor service's item to the older sensor; false when it
// tells what the older sensor has no member for, or too little.
bool apply_sensor_item(Json::Value& sensor, const std::string& type, const Json::Value& item,
                       const ButtonControls& controls) {
    Json::Value& state = sensor["state"];
    Json::Value& config = sensor["config"];
    if (!state.is_object()) state = Json::Value::object();
    if (!config.is_object()) config = Json::Value::object();
    if (const Json::Value* on = Json::find(item, "enabled"); on != nullptr && on->is_boolean()) {
        config["on"] = *on;
    }
    const Json::Value* report = nullptr;
    if (type == "motion") {
        const Json::Value* motion = reported(item, "motion", "motion_report", "motion", &report);
        if (motion != nullptr && motion->is_boolean()) state["presence"] = *motion;
        set_time(state, report, "changed");
    } else if (type == "temperature") {
        const Json::Value* degrees =
            reported(item, "temperature", "temperature_report", "temperature", &report);
        if (degrees != nullptr && degrees->is_number()) {
            state["temperature"] =
                static_cast<std::int64_t>(std::lround(Json::as_double(*degrees) * 100.0));
        }
        set_time(state, report, "changed");
    } else if (type == "light_level") {
        const Json::Value* level =
            reported(item, "light", "light_level_report", "light_level", &report);
        if (level != nullptr && Json::is_integer(*level)) {
            const std::int64_t value = Json::as_int64(*level);
            state["lightlevel"] = value;
            const Json::Value* dark = Json::find(config, "tholddark");
            const Json::Value* offset = Json::find(config, "tholdoffset");
            if (dark != nullptr && offset != nullptr && Json::is_integer(*dark) &&
                Json::is_integer(*offset)) {
                state["dark"] = value <= Json::as_int64(*dark);
                state["daylight"] = value >= Json::as_int64(*dark) + Json::as_int64(*offset);
            } else if (Json::has(state, "dark") || Json::has(state, "daylight")) {
                return false;  // they follow thresholds the sensor does not show
            }
        }
        set_time(state, report, "changed");
    } else if (type == "button") {
        const Json::Value* event = reported(item, "button", "button_report", "event", &report);
        if (event == nullptr) event = member_of(item, "button", "last_event");
        if (event != nullptr && event->is_string()) {
            const int action = button_action(event->get_ref<const std::string&>());
            const auto control = control_of(item, controls);
            if (action < 0 || !control) return false;
            state["buttonevent"] = *control * 1000 + action;
        }
        set_time(state, report, "updated");
    } else if (type == "device_power") {
        const Json::Value* level = member_of(item, "power_state", "battery_level");
        if (level != nullptr && Json::is_integer(*level)) config["battery"] = *level;
    } else {
        return false;
    }
    return true;
}

}  // namespace

std::optional<Json::Value> light_state_after(const Json::Value& state, const Json::Value& item) {
    if (!item.is_object() || Json::has(item, "metadata")) return std::nullopt;
    if (bare(item)) return std::nullopt;
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

std::optional<Json::Value> older_item_after(const std::string& kind, const Json::Value& older,
                                            const Json::Value& items,
                                            const ButtonControls& controls) {
    if (!items.is_array() || items.empty() || !older.is_object()) return std::nullopt;
    Json::Value after = older;
    for (const Json::Value& item : items) {
        const Json::Value* type = text_member(&item, "type");
        if (!item.is_object() || type == nullptr || bare(item)) return std::nullopt;
        const std::string& name = type->get_ref<const std::string&>();
        if (name == "zigbee_connectivity") {
            const Json::Value* status = text_member(&item, "status");
            if (status == nullptr) return std::nullopt;
            after[kind == "light" ? "state" : "config"]["reachable"] = *status == "connected";
        } else if (name == "device") {
            // A device's own change shows in no older member but its name.
            if (Json::has(item, "metadata")) return std::nullopt;
        } else if (kind == "light") {
            if (name != "light") return std::nullopt;
            const Json::Value* state = Json::find(after, "state");
            auto now = light_state_after(state != nullptr ? *state : Json::Value(), item);
            if (!now) return std::nullopt;
            after["state"] = std::move(*now);
        } else if (!apply_sensor_item(after, name, item, controls)) {
            return std::nullopt;
        }
    }
    return after;
}

std::vector<std::string> unknown_buttons(const Json::Value& items, const ButtonControls& controls) {
    std::vector<std::string> unknown;
    if (!items.is_array()) return unknown;
    for (const Json::Value& item : items) {
        const Json::Value* type = text_member(&item, "type");
        const Json::Value* id = text_member(&item, "id");
        if (type != nullptr && *type == "button" && id != nullptr && !control_of(item, controls)) {
            unknown.push_back(id->get<std::string>());
        }
    }
    return unknown;
}

}  // namespace Hue::V2
