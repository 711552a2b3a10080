#include "sim/clip_v2.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ctime>
#include <set>

#include "json/parse.hpp"
#include "json/text.hpp"
#include "sim/event_data.hpp"
#include "sim/routes.hpp"

namespace Sim {
namespace {

using Json::Value;

const Value kEmpty = Value::object();

const Value& part(const Value& object, const char* key) {
    const Value* found = Json::find(object, key);
    return found != nullptr ? *found : kEmpty;
}

Value ref(const std::string& rid, const std::string& rtype) {
    Value r = Value::object();
    r["rid"] = rid;
    r["rtype"] = rtype;
    return r;
}

std::string text_of(const Value& object, const char* key, const std::string& fallback = "") {
    const Value* found = Json::find(object, key);
    return found != nullptr && found->is_string() ? Json::as_string(*found) : fallback;
}

bool flag_of(const Value& object, const char* key, bool fallback = false) {
    const Value* found = Json::find(object, key);
    return found != nullptr && found->is_boolean() ? Json::as_bool(*found) : fallback;
}

// The brightness in % a light of the older brightness `bri` (1-254) shows.
double brightness_of(const Value& bri) {
    const double value = std::clamp<double>(static_cast<double>(Json::as_int64(bri)), 0, 254);
    return value * 100.0 / 254.0;
}

// The older brightness of `brightness` %, as a bridge scales it.
std::int64_t bri_of(double brightness, bool on) {
    const auto bri = static_cast<std::int64_t>(std::lround(brightness * 254.0 / 100.0));
    return std::clamp<std::int64_t>(bri, on ? 1 : 0, 254);
}

std::string device_id(const std::string& id_v1) { return uuid_from("device" + id_v1); }

// The kind of the newer group an older group is: a "Room" is a room, any
// other group a zone.
std::string group_kind(const Value& group) {
    return text_of(group, "type") == "Room" ? "room" : "zone";
}

std::string archetype_of(const std::string& text, const std::string& fallback) {
    if (text.empty()) return fallback;
    std::string word;
    for (const char c : text) {
        word += c == ' ' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return word;
}

// The mirek range of an older light: its capabilities' "ct", else the widest.
std::pair<std::int64_t, std::int64_t> mirek_range(const Value& light) {
    const Value& ct = part(part(part(light, "capabilities"), "control"), "ct");
    const Value* low = Json::find(ct, "min");
    const Value* high = Json::find(ct, "max");
    return {low != nullptr && Json::is_integer(*low) ? Json::as_int64(*low) : 153,
            high != nullptr && Json::is_integer(*high) ? Json::as_int64(*high) : 500};
}

Value xy_object(const Value& pair) {
    Value xy = Value::object();
    xy["x"] = pair.at(0);
    xy["y"] = pair.at(1);
    return xy;
}

bool valid_pair(const Value& v) {
    return v.is_array() && v.size() == 2 && v.at(0).is_number() && v.at(1).is_number();
}

Value light_view(const std::string& id, const Value& light, const Value& extra) {
    const std::string id_v1 = "/lights/" + id;
    const Value& state = part(light, "state");
    Value r = Value::object();
    r["id"] = uuid_from(id_v1);
    r["id_v1"] = id_v1;
    r["type"] = "light";
    r["owner"] = ref(device_id(id_v1), "device");
    r["service_id"] = 0;
    r["metadata"] = Value::object();
    r["metadata"]["name"] = text_of(light, "name");
    r["metadata"]["archetype"] = text_of(extra, "archetype", "classic_bulb");
    r["identify"] = Value::object();
    r["mode"] = "normal";
    r["on"] = Value::object();
    r["on"]["on"] = flag_of(state, "on");
    if (const Value* bri = Json::find(state, "bri"); bri != nullptr && Json::is_integer(*bri)) {
        r["dimming"] = Value::object();
        r["dimming"]["brightness"] = brightness_of(*bri);
        r["dimming"]["min_dim_level"] = 0.2;
    }
    if (const Value* ct = Json::find(state, "ct"); ct != nullptr && Json::is_integer(*ct)) {
        const auto [low, high] = mirek_range(light);
        Value& block = r["color_temperature"] = Value::object();
        block["mirek"] = *ct;
        block["mirek_valid"] = true;
        block["mirek_schema"] = Value::object();
        block["mirek_schema"]["mirek_minimum"] = low;
        block["mirek_schema"]["mirek_maximum"] = high;
    }
    const Value& control = part(part(light, "capabilities"), "control");
    if (const Value* xy = Json::find(state, "xy"); xy != nullptr && valid_pair(*xy)) {
        Value& block = r["color"] = Value::object();
        block["xy"] = xy_object(*xy);
        const Value* gamut = Json::find(control, "colorgamut");
        if (gamut != nullptr && gamut->is_array() && gamut->size() == 3) {
            block["gamut"] = Value::object();
            block["gamut"]["red"] = xy_object(gamut->at(0));
            block["gamut"]["green"] = xy_object(gamut->at(1));
            block["gamut"]["blue"] = xy_object(gamut->at(2));
        }
        block["gamut_type"] = text_of(control, "colorgamuttype", "other");
    }
    r["alert"] = Json::parse(R"({"action_values":["breathe"]})");
    Value signals = Value::array({"no_signal", "on_off"});
    if (r.contains("color")) {
        signals.push_back("on_off_color");
        signals.push_back("alternating");
    }
    r["signaling"] = Value::object();
    r["signaling"]["signal_values"] = signals;
    r["dynamics"] =
        Json::parse(R"({"speed":0,"speed_valid":false,"status":"none","status_values":["none"]})");
    for (const char* block :
         {"dynamics", "signaling", "effects", "timed_effects", "gradient", "powerup"}) {
        if (const Value* given = Json::find(extra, block)) {
            for (const auto& [key, value] : Json::as_object(*given)) r[block][key] = value;
        }
    }
    return r;
}

// A 64-bit radio address made from `id_v1`, "0a:1b:...".
std::string mac_address_of(const std::string& id_v1) {
    std::string hex;
    for (const char c : uuid_from("mac" + id_v1)) {
        if (c != '-') hex += c;
    }
    std::string mac;
    for (std::size_t i = 0; i < 16; i += 2) mac += (i == 0 ? "" : ":") + hex.substr(i, 2);
    return mac;
}

// The newer update state of the older item's "swupdate": {"state": ...}.
std::string update_state_of(const Value& item) {
    const Value* update = Json::find(item, "swupdate");
    if (update == nullptr) return "no_update";
    const std::string state = text_of(*update, "state");
    if (state == "noupdates") return "no_update";
    if (state == "readytoinstall") return "ready_to_install";
    if (state == "transferring" || state == "installing") return state;
    return "unknown";
}

// A service `id` of type `rtype` of the device standing for `id_v1`, with the
// members every service has.
Value owned_service(const std::string& id, const std::string& id_v1, const std::string& rtype) {
    Value s = Value::object();
    s["id"] = id;
    s["id_v1"] = id_v1;
    s["type"] = rtype;
    s["owner"] = ref(device_id(id_v1), "device");
    return s;
}

// The connectivity and software update services of the device of the older
// item `item` at `id_v1`, `reachable` telling whether the item is reachable.
std::vector<Value> health_services(const std::string& id_v1, const Value& item, bool reachable) {
    const auto service = [&](const std::string& rtype) {
        return owned_service(uuid_from(rtype + id_v1), id_v1, rtype);
    };
    Value link = service("zigbee_connectivity");
    link["status"] = reachable ? "connected" : "disconnected";
    link["mac_address"] = mac_address_of(id_v1);
    Value update = service("device_software_update");
    update["state"] = update_state_of(item);
    update["problems"] = Value::array();
    return {link, update};
}

// A light's connectivity and software update; a light without a
// "reachable" member counts as reachable.
std::vector<Value> light_health(const std::string& id, const Value& light) {
    return health_services("/lights/" + id, light,
                           flag_of(part(light, "state"), "reachable", true));
}

Value light_device(const std::string& id, const Value& light) {
    const std::string id_v1 = "/lights/" + id;
    Value d = Value::object();
    d["id"] = device_id(id_v1);
    d["id_v1"] = id_v1;
    d["type"] = "device";
    d["product_data"] = Value::object();
    d["product_data"]["model_id"] = text_of(light, "modelid");
    d["product_data"]["manufacturer_name"] = text_of(light, "manufacturername", "unknown");
    d["product_data"]["product_name"] = text_of(light, "productname", text_of(light, "type"));
    d["product_data"]["product_archetype"] = "classic_bulb";
    d["product_data"]["certified"] = true;
    d["product_data"]["software_version"] = text_of(light, "swversion");
    d["metadata"] = Value::object();
    d["metadata"]["name"] = text_of(light, "name");
    d["metadata"]["archetype"] = "classic_bulb";
    d["identify"] = Value::object();
    d["services"] = Value::array({ref(uuid_from(id_v1), "light")});
    for (const Value& s : light_health(id, light)) d["services"].push_back(ref(s["id"], s["type"]));
    return d;
}

// "2014-05-01T07:00:00" as the newer interface writes times; empty for none.
std::string changed_time(const Value& state) {
    const std::string at = text_of(state, "lastupdated");
    return at.size() == 19 ? at + "Z" : std::string();
}

constexpr const char* kButtonEvents[] = {"initial_press", "repeat", "short_release",
                                         "long_release"};

// The services of the older sensor `id`: none for a kind without a twin.
std::vector<Value> sensor_services(const std::string& id, const Value& sensor,
                                   const Value& extras) {
    const std::string id_v1 = "/sensors/" + id;
    const std::string type = text_of(sensor, "type");
    const Value& state = part(sensor, "state");
    const Value& config = part(sensor, "config");
    const std::string changed = changed_time(state);
    std::vector<Value> services;
    const auto service = [&](const std::string& rtype, const std::string& name) {
        return owned_service(
            name.empty() ? uuid_from(id_v1) : uuid_from(rtype + id_v1 + "/" + name), id_v1, rtype);
    };
    // A report of `value` under `report_key`, when the sensor has reported.
    const auto report = [&](Value& block, const char* report_key, const char* key,
                            const Value* value) {
        if (value == nullptr || changed.empty()) return;
        block[report_key] = Value::object();
        block[report_key]["changed"] = changed;
        block[report_key][key] = *value;
    };
    if (type == "ZLLPresence") {
        Value s = service("motion", "");
        s["enabled"] = flag_of(config, "on", true);
        s["motion"] = Value::object();
        report(s["motion"], "motion_report", "motion", Json::find(state, "presence"));
        services.push_back(std::move(s));
    } else if (type == "ZLLTemperature") {
        Value s = service("temperature", "");
        s["enabled"] = flag_of(config, "on", true);
        s["temperature"] = Value::object();
        const Value* t = Json::find(state, "temperature");
        const Value celsius =
            t != nullptr && t->is_number() ? Value(Json::as_double(*t) / 100.0) : Value();
        report(s["temperature"], "temperature_report", "temperature",
               t != nullptr ? &celsius : nullptr);
        services.push_back(std::move(s));
    } else if (type == "ZLLLightLevel") {
        Value s = service("light_level", "");
        s["enabled"] = flag_of(config, "on", true);
        s["light"] = Value::object();
        report(s["light"], "light_level_report", "light_level", Json::find(state, "lightlevel"));
        services.push_back(std::move(s));
    } else if (type == "ZLLSwitch" || type == "ZGPSwitch") {
        const Value* count = Json::find(part(extras, "buttons"), id);
        const int buttons = count != nullptr && Json::is_integer(*count) ? Json::as_int(*count) : 4;
        const Value* event = Json::find(state, "buttonevent");
        const std::int64_t code =
            event != nullptr && Json::is_integer(*event) ? Json::as_int64(*event) : 0;
        for (int b = 1; b <= buttons; ++b) {
            Value s = service("button", std::to_string(b));
            s["metadata"] = Value::object();
            s["metadata"]["control_id"] = b;
            Value& block = s["button"] = Value::object();
            block["repeat_interval"] = 800;
            block["event_values"] = Value::array();
            for (const char* e : kButtonEvents) block["event_values"].push_back(e);
            if (code / 1000 == b && code % 1000 < 4 && !changed.empty()) {
                block["button_report"] = Value::object();
                block["button_report"]["event"] = kButtonEvents[code % 1000];
                block["button_report"]["updated"] = changed;
            }
            services.push_back(std::move(s));
        }
    } else {
        return services;
    }
    if (const Value* level = Json::find(config, "battery");
        level != nullptr && Json::is_integer(*level)) {
        Value s = service("device_power", "power");
        const std::int64_t percent = Json::as_int64(*level);
        s["power_state"] = Value::object();
        s["power_state"]["battery_level"] = percent;
        s["power_state"]["battery_state"] = percent <= 5    ? "critical"
                                            : percent <= 20 ? "low"
                                                            : "normal";
        services.push_back(std::move(s));
    }
    for (Value& s : health_services(id_v1, sensor, flag_of(config, "reachable", true))) {
        services.push_back(std::move(s));
    }
    return services;
}

Value sensor_device(const std::string& id, const Value& sensor,
                    const std::vector<Value>& services) {
    const std::string id_v1 = "/sensors/" + id;
    Value d = Value::object();
    d["id"] = device_id(id_v1);
    d["id_v1"] = id_v1;
    d["type"] = "device";
    d["product_data"] = Value::object();
    d["product_data"]["model_id"] = text_of(sensor, "modelid");
    d["product_data"]["manufacturer_name"] = text_of(sensor, "manufacturername", "unknown");
    d["product_data"]["product_name"] = text_of(sensor, "productname", text_of(sensor, "type"));
    d["product_data"]["product_archetype"] = "unknown_archetype";
    d["product_data"]["certified"] = true;
    d["product_data"]["software_version"] = text_of(sensor, "swversion");
    d["metadata"] = Value::object();
    d["metadata"]["name"] = text_of(sensor, "name");
    d["metadata"]["archetype"] = "unknown_archetype";
    d["identify"] = Value::object();
    d["services"] = Value::array();
    for (const Value& s : services) d["services"].push_back(ref(s["id"], s["type"]));
    return d;
}

std::vector<std::string> ids_of(const Value& list) {
    std::vector<std::string> ids;
    if (!list.is_array()) return ids;
    for (const auto& id : list) {
        if (id.is_string()) ids.push_back(Json::as_string(id));
    }
    return ids;
}

Value grouped_light(const std::string& group_id, const Value& owner,
                    const std::vector<std::string>& members, const Value& lights) {
    const std::string id_v1 = "/groups/" + group_id;
    Value g = Value::object();
    g["id"] = uuid_from(id_v1);
    g["id_v1"] = id_v1;
    g["type"] = "grouped_light";
    g["owner"] = owner;
    bool any_on = false;
    double sum = 0;
    int lit = 0;
    bool dimmable = false;
    for (const std::string& id : members) {
        const Value& state = part(part(lights, id.c_str()), "state");
        const bool on = flag_of(state, "on");
        any_on = any_on || on;
        const Value* bri = Json::find(state, "bri");
        if (bri == nullptr || !Json::is_integer(*bri)) continue;
        dimmable = true;
        if (on) {
            sum += brightness_of(*bri);
            ++lit;
        }
    }
    g["on"] = Value::object();
    g["on"]["on"] = any_on;
    if (dimmable) {
        g["dimming"] = Value::object();
        g["dimming"]["brightness"] = lit == 0 ? 0.0 : sum / lit;
    }
    g["alert"] = Json::parse(R"({"action_values":["breathe"]})");
    g["signaling"] = Json::parse(R"({"signal_values":["no_signal","on_off"]})");
    return g;
}

// The room or zone of a scene: its group, else the first group holding all
// its lights; null when there is none.
Value scene_group(const Value& scene, const Value& groups) {
    std::string group = text_of(scene, "group");
    if (group.empty()) {
        const auto wanted = ids_of(part(scene, "lights"));
        for (const auto& [id, g] : Json::as_object(groups)) {
            const auto members = ids_of(part(g, "lights"));
            if (std::all_of(wanted.begin(), wanted.end(), [&](const std::string& l) {
                    return std::find(members.begin(), members.end(), l) != members.end();
                })) {
                group = id;
                break;
            }
        }
    }
    const Value* g = Json::find(groups, group);
    if (g == nullptr) return Value();
    return ref(uuid_from(group_kind(*g) + "/groups/" + group), group_kind(*g));
}

Value scene_view(const std::string& id, const Value& scene, const Value& group,
                 const Value& extra) {
    const std::string id_v1 = "/scenes/" + id;
    Value s = Value::object();
    s["id"] = uuid_from(id_v1);
    s["id_v1"] = id_v1;
    s["type"] = "scene";
    s["metadata"] = Value::object();
    s["metadata"]["name"] = text_of(scene, "name");
    s["group"] = group;
    s["actions"] = Value::array();
    for (const auto& [light, stored] : Json::as_object(part(scene, "lightstates"))) {
        Value action = Value::object();
        if (const Value* on = Json::find(stored, "on")) action["on"]["on"] = *on;
        if (const Value* bri = Json::find(stored, "bri");
            bri != nullptr && Json::is_integer(*bri)) {
            action["dimming"]["brightness"] = brightness_of(*bri);
        }
        if (const Value* xy = Json::find(stored, "xy"); xy != nullptr && valid_pair(*xy)) {
            action["color"]["xy"] = xy_object(*xy);
        }
        if (const Value* ct = Json::find(stored, "ct")) action["color_temperature"]["mirek"] = *ct;
        Value entry = Value::object();
        entry["target"] = ref(uuid_from("/lights/" + light), "light");
        entry["action"] = action;
        s["actions"].push_back(entry);
    }
    s["palette"] = Json::parse(R"({"color":[],"color_temperature":[],"dimming":[],"effects":[]})");
    s["speed"] = 0.5;
    s["auto_dynamic"] = false;
    s["status"] = Value::object();
    s["status"]["active"] = "inactive";
    for (const char* key : {"palette", "speed", "auto_dynamic"}) {
        if (const Value* given = Json::find(extra, key)) s[key] = *given;
    }
    if (const Value* status = Json::find(extra, "status")) s["status"]["active"] = *status;
    return s;
}

std::string smart_scene_id(std::size_t index) {
    return uuid_from("smart_scene/" + std::to_string(index));
}

Value smart_scene_view(std::size_t index, const Value& given, const Value& groups) {
    Value s = Value::object();
    s["id"] = smart_scene_id(index);
    s["type"] = "smart_scene";
    s["metadata"] = Value::object();
    s["metadata"]["name"] = text_of(given, "name");
    Value holder = Value::object();
    holder["group"] = text_of(given, "group");
    s["group"] = scene_group(holder, groups);
    Value slots = Value::array();
    const Value& given_slots = part(given, "timeslots");
    for (const auto& slot :
         given_slots.is_array() ? Json::as_array(given_slots) : Value::array_t()) {
        Value entry = Value::object();
        entry["start_time"]["kind"] = "time";
        entry["start_time"]["time"]["hour"] = part(slot, "hour");
        entry["start_time"]["time"]["minute"] = part(slot, "minute");
        entry["start_time"]["time"]["second"] = 0;
        entry["target"] = ref(uuid_from("/scenes/" + text_of(slot, "scene")), "scene");
        slots.push_back(entry);
    }
    Value week = Value::object();
    week["timeslots"] = slots;
    week["recurrence"] =
        Json::parse(R"(["monday","tuesday","wednesday","thursday","friday","saturday","sunday"])");
    s["week_timeslots"] = Value::array({week});
    s["transition_duration"] = 60000;
    s["state"] = text_of(given, "state", "inactive");
    if (s["state"] == "active") {
        s["active_timeslot"]["timeslot_id"] = part(given, "active_slot");
        s["active_timeslot"]["weekday"] = "monday";
    }
    return s;
}

const Value& collection(const Value& state, const char* key) {
    const Value& c = part(state, key);
    return c.is_object() ? c : kEmpty;
}

Value envelope(Value data) {
    Value body = Value::object();
    body["errors"] = Value::array();
    body["data"] = std::move(data);
    return body;
}

Reply clip_reply(const Value& data, int status = 200) {
    Reply reply = json_reply(envelope(data));
    reply.status = status;
    return reply;
}

// ----- PUT

// What a PUT asks of the lights, as the older state takes it, and what it
// asks of the blocks only the newer interface has.
struct LightCommand {
    Value older = Value::object();   // older state members: on, bri, xy, ct, bri_inc, ct_inc, alert
    Value blocks = Value::object();  // effects, timed_effects, gradient, signaling, dynamics
    std::int64_t mirek = 0;          // the colour temperature asked, before the light's range
    std::vector<std::string> errors;
};

bool number_in(const Value* v, double low, double high) {
    return v != nullptr && v->is_number() && Json::as_double(*v) >= low &&
           Json::as_double(*v) <= high;
}

bool valid_xy(const Value& object) {
    const Value& xy = part(object, "xy");
    return number_in(Json::find(xy, "x"), 0, 1) && number_in(Json::find(xy, "y"), 0, 1);
}

std::string joined(const Value& values) {
    std::string text;
    if (!values.is_array()) return text;
    for (const auto& v : values) {
        if (!v.is_string()) continue;
        text += (text.empty() ? "" : ", ") + Json::as_string(v);
    }
    return text;
}

bool listed(const Value& values, const Value& word) {
    return values.is_array() && std::find(values.begin(), values.end(), word) != values.end();
}

// Reads the body of a light PUT (`view`: the light as GET shows it) or of a
// grouped light PUT (`view` null), each refusal one line of `errors`.
LightCommand read_command(const Value& body, const Value* view) {
    LightCommand c;
    const bool group = view == nullptr;
    const auto refuse = [&](const std::string& text) { c.errors.push_back(text); };
    const auto needs = [&](const char* block) {
        if (group || Json::has(*view, block)) return true;
        refuse("the light has no " + std::string(block));
        return false;
    };
    const std::set<std::string> group_members = {
        "on",    "dimming",           "dimming_delta",
        "color", "color_temperature", "color_temperature_delta",
        "alert", "signaling",         "dynamics",
        "type"};
    for (const auto& [key, v] : Json::as_object(body)) {
        if (group && group_members.count(key) == 0) {
            refuse("grouped_light has no member " + key);
            continue;
        }
        if (key == "type") {
            if (v != (group ? "grouped_light" : "light")) refuse("invalid type");
        } else if (key == "on") {
            const Value* on = Json::find(v, "on");
            if (on == nullptr || !on->is_boolean())
                refuse("on.on must be true or false");
            else
                c.older["on"] = *on;
        } else if (key == "dimming") {
            const Value* b = Json::find(v, "brightness");
            if (!number_in(b, 0, 100))
                refuse("dimming.brightness must be 0 to 100");
            else if (needs("dimming"))
                c.older["bri"] = bri_of(Json::as_double(*b), true);
        } else if (key == "dimming_delta" || key == "color_temperature_delta") {
            const bool dim = key == "dimming_delta";
            const std::string action = text_of(v, "action");
            const Value* step = Json::find(v, dim ? "brightness_delta" : "mirek_delta");
            if (action != "up" && action != "down" && action != "stop") {
                refuse(key + ".action must be up, down or stop");
            } else if (action != "stop" && !number_in(step, 0, dim ? 100 : 347)) {
                refuse(key + (dim ? ".brightness_delta must be 0 to 100"
                                  : ".mirek_delta must be 0 to 347"));
            } else if (needs(dim ? "dimming" : "color_temperature") && action != "stop") {
                const double size =
                    dim ? Json::as_double(*step) * 254.0 / 100.0 : Json::as_double(*step);
                const auto signed_step =
                    static_cast<std::int64_t>(std::lround(action == "up" ? size : -size));
                c.older[dim ? "bri_inc" : "ct_inc"] = signed_step;
            }
        } else if (key == "color") {
            if (!valid_xy(v))
                refuse("color.xy must hold x and y from 0 to 1");
            else if (needs("color")) {
                c.older["xy"] = Value::array({v["xy"]["x"], v["xy"]["y"]});
            }
        } else if (key == "color_temperature") {
            const Value* mirek = Json::find(v, "mirek");
            if (mirek == nullptr || !Json::is_integer(*mirek) || !number_in(mirek, 153, 500)) {
                refuse("color_temperature.mirek must be a whole number from 153 to 500");
            } else if (needs("color_temperature")) {
                c.mirek = Json::as_int64(*mirek);
                c.older["ct"] = c.mirek;
            }
        } else if (key == "dynamics") {
            const Value* duration = Json::find(v, "duration");
            const Value* speed = Json::find(v, "speed");
            if (duration != nullptr && !number_in(duration, 0, 6000000)) {
                refuse("dynamics.duration must be 0 to 6000000");
            } else if (speed != nullptr && (group || !number_in(speed, 0, 1))) {
                refuse(group ? "grouped_light has no dynamics.speed"
                             : "dynamics.speed must be 0 to 1");
            } else if (speed != nullptr) {
                c.blocks["dynamics"]["speed"] = *speed;
                c.blocks["dynamics"]["speed_valid"] = true;
            }
        } else if (key == "alert") {
            const Value& values =
                group ? Value::array({"breathe"}) : part(part(*view, "alert"), "action_values");
            if (!listed(values, part(v, "action"))) {
                refuse("alert.action must be one of: " + joined(values));
            } else {
                c.older["alert"] = "select";
            }
        } else if (key == "signaling") {
            const Value& values =
                group ? Json::parse(R"(["no_signal","on_off","on_off_color","alternating"])")
                      : part(part(*view, "signaling"), "signal_values");
            const Value& signal = part(v, "signal");
            const Value* duration = Json::find(v, "duration");
            const Value& colors = part(v, "colors");
            const std::size_t wanted = signal == "on_off_color"  ? 1
                                       : signal == "alternating" ? 2
                                                                 : 0;
            if (!listed(values, signal)) {
                refuse("signaling.signal must be one of: " + joined(values));
            } else if (signal != "no_signal" && !number_in(duration, 0, 65534000)) {
                refuse("signaling.duration must be 0 to 65534000");
            } else if (wanted != (colors.is_array() ? colors.size() : 0) ||
                       (colors.is_array() &&
                        !std::all_of(colors.begin(), colors.end(),
                                     [](const Value& c) { return valid_xy(c); }))) {
                refuse("signaling.colors must hold " + std::to_string(wanted) + " colours");
            } else if (!group) {
                c.blocks["signaling"]["status"]["signal"] = signal;
                if (wanted > 0) c.blocks["signaling"]["status"]["colors"] = colors;
            }
        } else if (key == "effects") {
            if (!needs("effects")) continue;
            const Value& values = part(part(*view, "effects"), "effect_values");
            const Value& effect = part(v, "effect");
            if (!listed(values, effect)) {
                refuse("effects.effect must be one of: " + joined(values));
            } else {
                c.blocks["effects"]["effect"] = effect;
                c.blocks["effects"]["status"] = effect;
            }
        } else if (key == "timed_effects") {
            if (!needs("timed_effects")) continue;
            const Value& values = part(part(*view, "timed_effects"), "effect_values");
            const Value& effect = part(v, "effect");
            const Value* duration = Json::find(v, "duration");
            if (!listed(values, effect)) {
                refuse("timed_effects.effect must be one of: " + joined(values));
            } else if (effect != "no_effect" && !number_in(duration, 0, 21600000)) {
                refuse("timed_effects.duration must be 0 to 21600000");
            } else {
                c.blocks["timed_effects"]["effect"] = effect;
                c.blocks["timed_effects"]["status"] = effect;
                if (duration != nullptr) c.blocks["timed_effects"]["duration"] = *duration;
            }
        } else if (key == "gradient") {
            if (!needs("gradient")) continue;
            const Value& capable = part(part(*view, "gradient"), "points_capable");
            const Value& points = part(v, "points");
            const Value* mode = Json::find(v, "mode");
            const double most = capable.is_number() ? Json::as_double(capable) : 5;
            if (!points.is_array() || points.size() < 2 ||
                static_cast<double>(points.size()) > most ||
                !std::all_of(points.begin(), points.end(),
                             [](const Value& p) { return valid_xy(part(p, "color")); })) {
                refuse("gradient.points must hold 2 to " + Json::text(capable) + " colours");
            } else if (mode != nullptr &&
                       !listed(part(part(*view, "gradient"), "mode_values"), *mode)) {
                refuse("gradient.mode must be one of: " +
                       joined(part(part(*view, "gradient"), "mode_values")));
            } else {
                c.blocks["gradient"]["points"] = points;
                if (mode != nullptr) c.blocks["gradient"]["mode"] = *mode;
            }
        } else {
            refuse("light has no member " + key);
        }
    }
    return c;
}

// Carries out `command` on the older light `id`.
void apply_to_light(BridgeData& data, Value& extras, const std::string& id,
                    const LightCommand& command) {
    Value& light = member(data.state, "lights")[id];
    Value older = command.older;
    // A grouped light's command leaves out what a member light lacks.
    const Value& state = part(light, "state");
    for (const auto& [key, needed] : {std::pair<const char*, const char*>{"bri", "bri"},
                                      {"bri_inc", "bri"},
                                      {"xy", "xy"},
                                      {"ct", "ct"},
                                      {"ct_inc", "ct"}}) {
        if (!Json::has(state, needed)) older.erase(key);
    }
    if (older.contains("ct")) {
        const auto [low, high] = mirek_range(light);
        older["ct"] = std::clamp(command.mirek, low, high);
    }
    if (!older.empty())
        apply_light_state(member(light, "state"), older, "/lights/" + id + "/state");
    if (const Value* ct_inc = Json::find(older, "ct_inc"); ct_inc != nullptr) {
        const auto [low, high] = mirek_range(light);
        Value& ct = light["state"]["ct"];
        ct = std::clamp<std::int64_t>(Json::as_int64(ct), low, high);
    }
    for (const auto& [block, members] : Json::as_object(command.blocks)) {
        Value& target = member(member(member(extras, "lights"), id), block);
        for (const auto& [key, value] : Json::as_object(members)) {
            if (block == "signaling" && key == "status") {
                target["status"] = value;
            } else {
                target[key] = value;
            }
        }
    }
}

Reply put_lights(BridgeData& data, Value& extras, const std::vector<std::string>& ids,
                 const Value* view, const Value& body, const std::string& rid,
                 const std::string& rtype, const std::string& group_id) {
    if (!body.is_object()) return clip_error(400, "body must be a JSON object");
    const LightCommand command = read_command(body, view);
    const bool partial = text_of(extras, "invalid_put") == "207";
    if (!command.errors.empty() && !partial) {
        Value errors = Value::array();
        for (const auto& e : command.errors) errors.push_back(Value::object({{"description", e}}));
        Reply reply = json_reply(Value::object({{"errors", errors}, {"data", Value::array()}}));
        reply.status = 400;
        return reply;
    }
    for (const std::string& id : ids) apply_to_light(data, extras, id, command);
    if (!group_id.empty() && group_id != "0" && !command.older.empty()) {
        Value& group = member(data.state, "groups")[group_id];
        apply_light_state(member(group, "action"), command.older,
                          "/groups/" + group_id + "/action");
    }
    Value body_out = envelope(Value::array({ref(rid, rtype)}));
    for (const auto& e : command.errors) {
        body_out["errors"].push_back(Value::object({{"description", e}}));
    }
    Reply reply = json_reply(body_out);
    reply.status = command.errors.empty() ? 200 : 207;
    return reply;
}

// The lights of the scene `id`'s group: the older group's, else the scene's own.
Value scene_members(const Value& state, const Value& scene) {
    const Value* group = Json::find(collection(state, "groups"), text_of(scene, "group"));
    return group != nullptr ? part(*group, "lights") : part(scene, "lights");
}

Reply recall_older_scene(BridgeData& data, Value& extras, const std::string& id,
                         const Value& recall, const Value& view) {
    const std::string action = text_of(recall, "action");
    if (action != "active" && action != "static" && action != "dynamic_palette") {
        return clip_error(400, "recall.action must be active, static or dynamic_palette");
    }
    const Value& palette = part(view, "palette");
    const bool has_palette = std::any_of(palette.begin(), palette.end(),
                                         [](const Value& list) { return !list.empty(); });
    if (action == "dynamic_palette" && !has_palette) {
        return clip_error(400, "the scene has no palette");
    }
    const Value* brightness = Json::find(part(recall, "dimming"), "brightness");
    if (Json::has(recall, "dimming") && !number_in(brightness, 0, 100)) {
        return clip_error(400, "recall.dimming.brightness must be 0 to 100");
    }
    const Value& scene = Json::at(collection(data.state, "scenes"), id);
    const Value members = scene_members(data.state, scene);
    recall_scene(data, Value(id), &members, "/scenes/" + id);
    if (brightness != nullptr) {
        Value older = Value::object({{"bri", bri_of(Json::as_double(*brightness), true)}});
        for (const auto& [light, stored] : Json::as_object(part(scene, "lightstates"))) {
            (void)stored;
            Value& lights = member(data.state, "lights");
            if (Json::has(lights, light)) {
                apply_light_state(member(lights[light], "state"), older, "/lights/" + light);
            }
        }
    }
    // The other scenes of the group stop being the active one.
    for (const auto& [other, stored] : Json::as_object(collection(data.state, "scenes"))) {
        if (other != id && text_of(stored, "group") == text_of(scene, "group") &&
            Json::has(part(extras, "scenes"), other)) {
            extras["scenes"][other]["status"] = "inactive";
        }
    }
    member(member(extras, "scenes"), id)["status"] =
        action == "dynamic_palette" ? "dynamic_palette" : "static";
    return clip_reply(Value::array({ref(view["id"], "scene")}));
}

Reply put_scene(BridgeData& data, Value& extras, const std::string& id, const Value& body,
                const Value& view) {
    if (!body.is_object()) return clip_error(400, "body must be a JSON object");
    for (const auto& [key, v] : Json::as_object(body)) {
        if (key == "speed" && !number_in(&v, 0, 1)) return clip_error(400, "speed must be 0 to 1");
        if (key == "auto_dynamic" && !v.is_boolean()) {
            return clip_error(400, "auto_dynamic must be true or false");
        }
        if (key != "speed" && key != "auto_dynamic" && key != "recall" && key != "type") {
            return clip_error(400, "scene has no member " + key + " to change here");
        }
    }
    for (const char* key : {"speed", "auto_dynamic"}) {
        if (const Value* v = Json::find(body, key)) member(member(extras, "scenes"), id)[key] = *v;
    }
    if (const Value* recall = Json::find(body, "recall")) {
        return recall_older_scene(data, extras, id, *recall, view);
    }
    return clip_reply(Value::array({ref(view["id"], "scene")}));
}

Reply put_smart_scene(BridgeData& data, Value& extras, std::size_t index, const Value& body) {
    const std::string action = text_of(part(body, "recall"), "action");
    if (action != "activate" && action != "deactivate") {
        return clip_error(400, "recall.action must be activate or deactivate");
    }
    Value& given = extras["smart_scenes"][index];
    if (action == "deactivate") {
        given["state"] = "inactive";
        given.erase("active_slot");
    } else {
        // The slot in force now: the last that started before the time of day.
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        const int minute_now = local.tm_hour * 60 + local.tm_min;
        const Value& slots = part(given, "timeslots");
        std::size_t chosen = slots.empty() ? 0 : slots.size() - 1;
        for (std::size_t i = 0; i < slots.size(); ++i) {
            const int start =
                Json::as_int(part(slots[i], "hour")) * 60 + Json::as_int(part(slots[i], "minute"));
            if (start <= minute_now) chosen = i;
        }
        given["state"] = "active";
        given["active_slot"] = chosen;
        if (!slots.empty()) {
            const std::string scene = text_of(slots[chosen], "scene");
            if (const Value* stored = Json::find(collection(data.state, "scenes"), scene)) {
                const Value members = scene_members(data.state, *stored);
                recall_scene(data, Value(scene), &members, "/scenes/" + scene);
            }
        }
    }
    return clip_reply(Value::array({ref(smart_scene_id(index), "smart_scene")}));
}

// The methods each type offers.
const std::set<std::string> kPutTypes = {"light",  "grouped_light", "scene",       "smart_scene",
                                         "motion", "temperature",   "light_level", "button",
                                         "device", "room",          "zone",        "bridge"};
const std::set<std::string> kReadOnlyTypes = {"device_power", "bridge_home", "zigbee_connectivity",
                                              "device_software_update"};

}  // namespace

Value clip_resources(const Value& state, const Value& extras) {
    const Value& lights = collection(state, "lights");
    const Value& groups = collection(state, "groups");
    const Value& sensors = collection(state, "sensors");
    const Value& config = part(state, "config");
    const Value& light_extras = part(extras, "lights");
    Value devices = Value::array();
    Value services = Value::array();
    Value lights_out = Value::array();
    std::set<std::string> in_rooms;
    for (const auto& [id, light] : Json::as_object(lights)) {
        devices.push_back(light_device(id, light));
        lights_out.push_back(light_view(id, light, part(light_extras, id.c_str())));
        for (Value& s : light_health(id, light)) services.push_back(std::move(s));
    }
    Value sensor_devices = Value::array();
    for (const auto& [id, sensor] : Json::as_object(sensors)) {
        const auto found = sensor_services(id, sensor, extras);
        if (found.empty()) continue;
        sensor_devices.push_back(sensor_device(id, sensor, found));
        for (const Value& s : found) services.push_back(s);
    }
    const std::string bridge_device = uuid_from("device/bridge");
    Value bridge_dev = Value::object();
    bridge_dev["id"] = bridge_device;
    bridge_dev["type"] = "device";
    bridge_dev["product_data"] = Value::object();
    bridge_dev["product_data"]["model_id"] = text_of(config, "modelid");
    bridge_dev["product_data"]["manufacturer_name"] = "unknown";
    bridge_dev["product_data"]["product_name"] = "Bridge";
    bridge_dev["product_data"]["product_archetype"] = "bridge_v2";
    bridge_dev["product_data"]["certified"] = true;
    bridge_dev["product_data"]["software_version"] = text_of(config, "swversion");
    bridge_dev["metadata"] = Value::object();
    bridge_dev["metadata"]["name"] = text_of(config, "name");
    bridge_dev["metadata"]["archetype"] = "bridge_v2";
    bridge_dev["identify"] = Value::object();
    bridge_dev["services"] = Value::array({ref(uuid_from("bridge"), "bridge")});
    Value bridge = Value::object();
    bridge["id"] = uuid_from("bridge");
    bridge["type"] = "bridge";
    bridge["owner"] = ref(bridge_device, "device");
    std::string bridge_id = text_of(config, "bridgeid");
    if (bridge_id.empty()) bridge_id = bridge_id_from_mac(text_of(config, "mac"));
    for (char& c : bridge_id) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    bridge["bridge_id"] = bridge_id;
    bridge["time_zone"]["time_zone"] = text_of(config, "timezone", "UTC");

    Value rooms = Value::array();
    Value grouped = Value::array();
    Value home_children = Value::array();
    for (const auto& [id, group] : Json::as_object(groups)) {
        const std::string kind = group_kind(group);
        const std::string id_v1 = "/groups/" + id;
        const auto members = ids_of(part(group, "lights"));
        Value g = Value::object();
        g["id"] = uuid_from(kind + id_v1);
        g["id_v1"] = id_v1;
        g["type"] = kind;
        g["metadata"] = Value::object();
        g["metadata"]["name"] = text_of(group, "name");
        g["metadata"]["archetype"] = archetype_of(text_of(group, "class"), "other");
        g["children"] = Value::array();
        for (const auto& light : members) {
            if (kind == "room") {
                g["children"].push_back(ref(device_id("/lights/" + light), "device"));
                in_rooms.insert(light);
            } else {
                g["children"].push_back(ref(uuid_from("/lights/" + light), "light"));
            }
        }
        g["services"] = Value::array({ref(uuid_from(id_v1), "grouped_light")});
        if (kind == "room") home_children.push_back(ref(g["id"], "room"));
        rooms.push_back(g);
        grouped.push_back(grouped_light(id, ref(g["id"], kind), members, lights));
    }
    std::vector<std::string> all;
    for (const auto& [id, light] : Json::as_object(lights)) {
        all.push_back(id);
        if (in_rooms.count(id) == 0) {
            home_children.push_back(ref(device_id("/lights/" + id), "device"));
        }
    }
    for (const auto& d : sensor_devices) home_children.push_back(ref(d["id"], "device"));
    Value home = Value::object();
    home["id"] = uuid_from("bridge_home");
    home["id_v1"] = "/groups/0";
    home["type"] = "bridge_home";
    home["children"] = home_children;
    home["services"] = Value::array({ref(uuid_from("/groups/0"), "grouped_light")});
    grouped.push_back(grouped_light("0", ref(home["id"], "bridge_home"), all, lights));

    Value scenes = Value::array();
    for (const auto& [id, scene] : Json::as_object(collection(state, "scenes"))) {
        Value group = scene_group(scene, groups);
        if (group.is_null()) continue;
        scenes.push_back(scene_view(id, scene, group, part(part(extras, "scenes"), id.c_str())));
    }
    const Value& smart = part(extras, "smart_scenes");
    if (smart.is_array()) {
        for (std::size_t i = 0; i < smart.size(); ++i) {
            scenes.push_back(smart_scene_view(i, smart[i], groups));
        }
    }

    Value all_resources = Value::array();
    for (const Value* list : {&devices, &sensor_devices}) {
        for (const auto& r : *list) all_resources.push_back(r);
    }
    all_resources.push_back(bridge_dev);
    all_resources.push_back(bridge);
    for (const Value* list : {&lights_out, &rooms, &grouped, &services, &scenes}) {
        for (const auto& r : *list) all_resources.push_back(r);
    }
    all_resources.push_back(home);
    return all_resources;
}

Reply clip_error(int status, const std::string& text) {
    Value body = Value::object();
    body["errors"] = Value::array({Value::object({{"description", text}})});
    body["data"] = Value::array();
    Reply reply = json_reply(body);
    reply.status = status;
    return reply;
}

Reply route_clip_v2(BridgeData& data, Value& extras, const std::string& method,
                    const std::vector<std::string>& segments, const std::string& body) {
    // segments: clip, v2, resource[, type[, id]]
    if (segments.size() < 3 || segments.size() > 5 || segments[1] != "v2" ||
        segments[2] != "resource") {
        return clip_error(404, "resource not found");
    }
    const Value resources = clip_resources(data.state, extras);
    if (segments.size() == 3) {
        if (method != "GET") return clip_error(405, "method not allowed");
        return clip_reply(resources);
    }
    const std::string& type = segments[3];
    Value listed_of_type = Value::array();
    for (const auto& r : resources) {
        if (r["type"] == type) listed_of_type.push_back(r);
    }
    if (segments.size() == 4) {
        if (method != "GET") return clip_error(405, "method not allowed");
        if (listed_of_type.empty() && kPutTypes.count(type) == 0 &&
            kReadOnlyTypes.count(type) == 0) {
            return clip_error(404, "resource type not found");
        }
        return clip_reply(listed_of_type);
    }
    const Value* found = nullptr;
    for (const auto& r : listed_of_type) {
        if (r["id"] == segments[4]) found = &r;
    }
    if (found == nullptr) return clip_error(404, "resource not found");
    if (method == "GET") return clip_reply(Value::array({*found}));
    if (method != "PUT" || kPutTypes.count(type) == 0) return clip_error(405, "method not allowed");
    if (type == "bridge") return clip_error(403, "the bridge cannot be changed with this key");
    Value parsed;
    try {
        parsed = Json::parse(body);
    } catch (const Json::ParseError&) {
        return clip_error(400, "body is not valid JSON");
    }
    const std::string id_v1 = text_of(*found, "id_v1");
    const std::string v1_id = id_v1.substr(id_v1.rfind('/') + 1);
    if (type == "light") {
        return put_lights(data, extras, {v1_id}, found, parsed, segments[4], type, "");
    }
    if (type == "grouped_light") {
        std::vector<std::string> members;
        if (v1_id == "0") {
            for (const auto& [id, light] : Json::as_object(collection(data.state, "lights"))) {
                members.push_back(id);
            }
        } else {
            members = ids_of(part(part(collection(data.state, "groups"), v1_id.c_str()), "lights"));
        }
        const Value& lights = collection(data.state, "lights");
        members.erase(std::remove_if(members.begin(), members.end(),
                                     [&](const std::string& id) { return !Json::has(lights, id); }),
                      members.end());
        return put_lights(data, extras, members, nullptr, parsed, segments[4], type, v1_id);
    }
    if (type == "scene") return put_scene(data, extras, v1_id, parsed, *found);
    if (type == "smart_scene") {
        const Value& smart = part(extras, "smart_scenes");
        for (std::size_t i = 0; i < smart.size(); ++i) {
            if (smart_scene_id(i) == segments[4]) return put_smart_scene(data, extras, i, parsed);
        }
    }
    return clip_error(405, "this simulator changes lights, grouped lights and scenes only");
}

Value older_light_state(const Value& state, const Value& item) {
    Value after = state;
    if (text_of(item, "type") == "zigbee_connectivity") {
        if (const Value* status = Json::find(item, "status"); status != nullptr) {
            after["reachable"] = *status == "connected";
        }
        return after;
    }
    if (const Value* on = Json::find(part(item, "on"), "on"); on != nullptr && on->is_boolean()) {
        after["on"] = *on;
    }
    if (const Value* b = Json::find(part(item, "dimming"), "brightness");
        b != nullptr && b->is_number()) {
        after["bri"] = bri_of(Json::as_double(*b), flag_of(after, "on"));
    }
    if (valid_xy(part(item, "color"))) {
        after["xy"] = Value::array({item["color"]["xy"]["x"], item["color"]["xy"]["y"]});
        after["colormode"] = "xy";
    }
    if (const Value* mirek = Json::find(part(item, "color_temperature"), "mirek");
        mirek != nullptr && Json::is_integer(*mirek)) {
        after["ct"] = *mirek;
        after["colormode"] = "ct";
    }
    return after;
}

Value clip_event_items(const std::string& kind, const std::string& id_v1, const Value& before,
                       const Value& after) {
    const std::string id = id_v1.substr(id_v1.rfind('/') + 1);
    const auto item_of = [&](const Value& snapshot) -> Value {
        const Value& state = part(snapshot, "v1");
        const Value* older = Json::find(collection(state, kind == "light"           ? "lights"
                                                          : kind == "grouped_light" ? "groups"
                                                                                    : "sensors"),
                                        id);
        return older != nullptr ? *older : Value();
    };
    const Value old_item = item_of(before);
    const Value new_item = item_of(after);
    const auto views = [&](const Value& snapshot, const Value& older) -> std::vector<Value> {
        if (older.is_null()) return {};
        const Value& extras = part(snapshot, "extras");
        if (kind == "light") {
            std::vector<Value> found = {
                light_view(id, older, part(part(extras, "lights"), id.c_str()))};
            for (Value& s : light_health(id, older)) found.push_back(std::move(s));
            return found;
        }
        if (kind == "sensor") return sensor_services(id, older, extras);
        const Value resources = clip_resources(part(snapshot, "v1"), extras);
        for (const auto& r : resources) {
            if (r["type"] == "grouped_light" && r["id_v1"] == id_v1) return {r};
        }
        return {};
    };
    const std::vector<Value> old_views = views(before, old_item);
    const std::vector<Value> new_views = views(after, new_item);
    const std::vector<Value>& shown = new_views.empty() ? old_views : new_views;
    const auto bare = [](const Value& view) {
        Value item = Value::object();
        for (const char* key : {"id", "id_v1", "type", "owner", "service_id"}) {
            if (const Value* v = Json::find(view, key)) item[key] = *v;
        }
        return item;
    };
    Value items = Value::array();
    if (shown.empty()) return items;  // no twin: the event names it the older way
    if (old_views.empty() || new_views.empty()) {
        items.push_back(bare(shown.front()));
        return items;
    }
    // Whether the newer properties carry the whole older change: the older
    // state the items give, applied in turn, is the new one.
    bool whole = true;
    Value applied = part(old_item, "state");
    if (kind == "light") {
        Value old_rest = old_item;
        Value new_rest = new_item;
        old_rest.erase("state");
        new_rest.erase("state");
        whole = old_rest == new_rest;
    }
    for (const Value& now : new_views) {
        const Value* was = nullptr;
        for (const Value& v : old_views) {
            if (v["id"] == now["id"]) was = &v;
        }
        Value item = bare(now);
        const std::size_t named = item.size();
        for (const auto& [key, value] : Json::as_object(now)) {
            const Value* old_value = was != nullptr ? Json::find(*was, key) : nullptr;
            if (old_value != nullptr && *old_value == value) continue;
            if (item.contains(key)) continue;
            if (old_value != nullptr && value.is_object() && old_value->is_object()) {
                Value changed = Value::object();
                for (const auto& [sub, sub_value] : Json::as_object(value)) {
                    const Value* old_sub = Json::find(*old_value, sub);
                    if (old_sub == nullptr || *old_sub != sub_value) changed[sub] = sub_value;
                }
                item[key] = changed;
            } else {
                item[key] = value;
            }
        }
        if (kind == "light") applied = older_light_state(applied, item);
        if (item.size() > named || now["type"] == "light") items.push_back(item);
    }
    if (kind == "light") {
        // The light's own item: bare when the items together do not give the
        // whole older change, left out when it has nothing the others lack.
        whole = whole && applied == part(new_item, "state");
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i]["type"] != "light") continue;
            if (!whole) {
                items[i] = bare(items[i]);
            } else if (items[i] == bare(items[i]) && items.size() > 1) {
                items.erase(i);
            }
            break;
        }
    }
    if (items.empty()) items.push_back(bare(shown.front()));
    return items;
}

}  // namespace Sim
