#include "sim/sim_bridge.hpp"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <optional>
#include <stdexcept>
#include <utility>

#include "json/parse.hpp"
#include "json/text.hpp"
#include "sim/clip_v2.hpp"
#include "sim/event_data.hpp"
#include "sim/routes.hpp"
#include "sim/ssdp_responder.hpp"

namespace Sim {
namespace {

using Json::Value;

Value member_or(const Value& object, const char* key, const Value& fallback) {
    const Value* found = Json::find(object, key);
    return found != nullptr ? *found : fallback;
}

// The value of the hex digit `c`, or -1 when it is none.
int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// `raw` with each %XX replaced by the byte it encodes; nullopt when a '%' is
// not followed by two hex digits or `raw` holds a byte outside ASCII.
std::optional<std::string> percent_decoded(const std::string& raw) {
    std::string decoded;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (static_cast<unsigned char>(raw[i]) > 127) return std::nullopt;
        if (raw[i] != '%') {
            decoded += raw[i];
            continue;
        }
        const int high = i + 1 < raw.size() ? hex_value(raw[i + 1]) : -1;
        const int low = i + 2 < raw.size() ? hex_value(raw[i + 2]) : -1;
        if (high < 0 || low < 0) return std::nullopt;
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return decoded;
}

// The segments of the path of `target` (its query left out), each decoded;
// empty segments are left out. nullopt when a segment cannot be decoded.
std::optional<std::vector<std::string>> decoded_segments(const std::string& target) {
    const std::string path = target.substr(0, target.find('?'));
    std::vector<std::string> segments;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (end > start) {
            auto segment = percent_decoded(path.substr(start, end - start));
            if (!segment) return std::nullopt;
            segments.push_back(std::move(*segment));
        }
        start = end + 1;
    }
    return segments;
}

std::string text_member(const Value& object, const char* key) {
    const Value* found = Json::find(object, key);
    return found != nullptr && found->is_string() ? Json::as_string(*found) : std::string();
}

std::string description_document(const Value& fixture) {
    const Value* d = Json::find(fixture, "description");
    if (d == nullptr) return std::string();
    DeviceFields fields;
    fields.device_type = "urn:schemas-upnp-org:device:Basic:1";
    fields.friendly_name = text_member(*d, "friendlyName");
    fields.manufacturer = text_member(*d, "manufacturer");
    fields.model_name = text_member(*d, "modelName");
    fields.model_number = text_member(*d, "modelNumber");
    fields.serial_number = text_member(*d, "serialNumber");
    fields.presentation_url = text_member(*d, "presentationURL");
    fields.udn = text_member(*d, "UDN");
    fields.url_base = text_member(*d, "URLBase");
    return render_description(fields);
}

std::string join(const std::vector<std::string>& segments, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < segments.size(); ++i) text += "/" + segments[i];
    return text.empty() ? "/" : text;
}

// The id the configuration of `state` names or its MAC address makes; "" for neither.
std::string configured_id(const Value& state) {
    const Value* config = Json::find(state, "config");
    if (config == nullptr) return std::string();
    const std::string id = text_member(*config, "bridgeid");
    return id.empty() ? bridge_id_from_mac(text_member(*config, "mac")) : id;
}

}  // namespace

std::string bridge_id_from_mac(const std::string& mac) {
    // "xx:xx:xx:xx:xx:xx": 17 characters, a colon after each pair but the last.
    std::string digits;
    if (mac.size() != 17) return std::string();
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const auto c = static_cast<unsigned char>(mac[i]);
        if (i % 3 == 2) {
            if (c != ':') return std::string();
        } else if (std::isxdigit(c)) {
            digits += static_cast<char>(std::toupper(c));
        } else {
            return std::string();
        }
    }
    return digits.substr(0, 6) + "FFFE" + digits.substr(6);
}

SimBridge::SimBridge(const Value& fixture)
    : m_state(member_or(fixture, "state", Value::object())),
      m_new_lights(member_or(fixture, "newlights", Value::object())),
      m_scan(Json::parse(R"({"lastscan":"none"})")),
      m_portal(member_or(fixture, "portal", Value::array())),
      m_extras(member_or(fixture, "v2", Value::object())),
      m_description(description_document(fixture)),
      m_serial(text_member(member_or(fixture, "description", Value()), "serialNumber")),
      m_link_button(Json::as_bool(member_or(fixture, "linkbutton", false))),
      m_generate_names(Json::as_bool(member_or(fixture, "generatenames", false))),
      m_listings(listings_from_text(Json::as_string(member_or(fixture, "listings", "whole")))) {
    member(member(m_state, "config"), "whitelist");
    const Value faults = member_or(fixture, "faults", Value::array());
    for (const auto& f : Json::as_array(faults)) {
        Fault fault;
        fault.status = Json::as_int(member_or(f, "status", 200));
        fault.reason = Json::as_string(member_or(f, "reason", ""));
        if (const Value* body = Json::find(f, "body")) fault.body = Json::as_string(*body);
        fault.delay_ms = Json::as_int(member_or(f, "delay_ms", 0));
        m_faults[Json::as_string(Json::at(f, "method")) + " " +
                 Json::as_string(Json::at(f, "path"))] = fault;
    }
}

Reply SimBridge::handle(const std::string& method, const std::string& path, const std::string& body,
                        int connection, const std::string& key) {
    std::function<void(const LoggedRequest&)> observer;
    LoggedRequest logged{method, path, body, connection, std::string()};
    Reply reply;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // A GET changes nothing: only other requests are compared.
        const bool compared = method != "GET";
        const Value before = compared ? snapshot() : Value();
        m_requests.push_back(logged);
        observer = m_observer;
        const auto fault = m_faults.find(method + " " + path);
        const auto refusal = m_refusals.find(method + " " + path);
        if (refusal != m_refusals.end()) {
            reply.status = refusal->second.status;
            reply.retry_after = refusal->second.retry_after;
            reply.body.clear();
            if (--refusal->second.times <= 0) m_refusals.erase(refusal);
        } else if (fault != m_faults.end()) {
            reply.status = fault->second.status;
            reply.reason = fault->second.reason;
            reply.delay_ms = fault->second.delay_ms;
            if (fault->second.body) {
                reply.body = *fault->second.body;
            } else {
                reply.body = route(method, path, body, key).body;
            }

        } else if (path.rfind("/clip/", 0) == 0 && m_clip_v2 && over_rate_limit()) {
            const Value* status = Json::find(m_extras, "rate_limit_status");
            reply =
                clip_error(status != nullptr ? Json::as_int(*status) : 429, "too many requests");
            reply.retry_after = "1";
        } else {
            reply = route(method, path, body, key);
        }
        if (compared) journal_changes(before);
    }
    if (observer) observer(logged);
    return reply;
}

Reply SimBridge::route(const std::string& method, const std::string& path, const std::string& body,
                       const std::string& key) {
    const auto decoded = decoded_segments(path);
    if (!decoded) {
        Reply reply;
        reply.status = 400;
        reply.body = "<html><body>bad request</body></html>";
        reply.content_type = "text/html";
        return reply;
    }
    const std::vector<std::string>& segments = *decoded;
    if (method == "GET" && path == "/description.xml" && !m_description.empty() && !m_newest) {
        Reply reply;
        reply.body = m_description;
        reply.content_type = "text/xml";
        return reply;
    }
    BridgeData data{m_state, m_new_lights, m_scan, m_link_button, m_generate_names, m_listings};
    if (m_clip_v2 && !segments.empty() && segments[0] == "clip") {
        const Value& whitelist = Json::at(Json::at(m_state, "config"), "whitelist");
        if (key.empty() || !Json::has(whitelist, key)) return clip_error(401, "unauthorized user");
        return route_clip_v2(data, m_extras, method, segments, body);
    }
    if (segments.empty() || segments[0] != "api") {
        Reply reply;
        reply.status = 404;
        reply.body = "<html><body>not found</body></html>";
        reply.content_type = "text/html";
        return reply;
    }
    Route route{method, {}, "", Value()};
    if (!body.empty()) {
        try {
            route.body = Json::parse(body);
        } catch (const Json::ParseError&) {
            return error_reply(kInvalidJson, join(segments, 1), "body contains invalid json");
        }
    }
    if (segments.size() == 1) {
        if (method == "POST") return create_user(data, route.body);
        return error_reply(kMethodNotAvailable, "/",
                           "method, " + method + ", not available for resource, /");
    }
    if (segments.size() == 2 && segments[1] == "nupnp" && method == "GET") {
        return json_reply(m_portal);
    }
    // What a bridge tells anyone, without a user name.
    if (segments.size() == 2 && segments[1] == "config" && method == "GET") {
        return unauthorized_config(data);
    }
    const std::string& user = segments[1];
    const bool allowed = Json::has(Json::at(Json::at(m_state, "config"), "whitelist"), user);
    const std::string address = join(segments, 2);
    if (!allowed) {
        if (segments.size() == 3 && segments[2] == "config" && method == "GET") {
            return unauthorized_config(data);
        }
        return error_reply(kUnauthorized, address, "unauthorized user");
    }
    if (segments.size() == 2) {
        if (method == "GET") {
            // As a bridge gives it: the scenes without their light states.
            if (!Json::has(m_state, "scenes")) return json_reply(m_state);
            Value whole = m_state;
            whole["scenes"] = scenes_listing(Json::at(m_state, "scenes"));
            return json_reply(whole);
        }
        return error_reply(kMethodNotAvailable, address,
                           "method, " + method + ", not available for resource, /");
    }
    route.rest.assign(segments.begin() + 3, segments.end());
    route.address = address;
    const std::string& resource = segments[2];
    if (resource == "config") return route_config(data, route);
    if (resource == "lights") return route_lights(data, route);
    if (resource == "groups") return route_groups(data, route);
    if (resource == "schedules") return route_schedules(data, route);
    if (resource == "scenes") return route_scenes(data, route);
    if (resource == "sensors" && Json::has(m_state, resource)) return route_sensors(data, route);
    if (Json::has(m_state, resource) && method == "GET" && route.rest.empty()) {
        return json_reply(Json::at(m_state, resource));
    }
    return not_available(address);
}

void SimBridge::refuse(const std::string& method, const std::string& path, int status, int times,
                       const std::string& retry_after) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_refusals[method + " " + path] = Refusal{status, times, retry_after};
}

void SimBridge::log(const LoggedRequest& request) {
    std::function<void(const LoggedRequest&)> observer;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(request);
        observer = m_observer;
    }
    if (observer) observer(request);
}

std::string SimBridge::certificate_name() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string id = configured_id(m_state);
    for (auto& c : id) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return id;
}

std::vector<LoggedRequest> SimBridge::requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void SimBridge::clear_requests() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

void SimBridge::set_fault(const std::string& method, const std::string& path, const Fault& fault) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults[method + " " + path] = fault;
}

void SimBridge::set_link_button(bool pressed) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_link_button = pressed;
}

void SimBridge::set_generate_names(bool generate) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_generate_names = generate;
}

void SimBridge::set_listings(Listings shape) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_listings = shape;
}

void SimBridge::set_newest(bool newest) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_newest = newest;
}

bool SimBridge::newest() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_newest;
}

std::string SimBridge::bridge_id() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::string id = configured_id(m_state);
    return id.empty() ? m_serial : id;
}

Value SimBridge::state() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state;
}

void SimBridge::update(const std::function<void(Value& state)>& change) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Value before = snapshot();
    change(m_state);
    journal_changes(before);
}

Value SimBridge::snapshot() const {
    Value taken = Value::object();
    taken["v1"] = watched_collections(m_state);
    const Value* lights = Json::find(m_extras, "lights");
    taken["extras"] = Value::object();
    if (lights != nullptr) taken["extras"]["lights"] = *lights;
    if (const Value* buttons = Json::find(m_extras, "buttons"))
        taken["extras"]["buttons"] = *buttons;
    taken["keys"] = Value::array();
    const Value* config = Json::find(m_state, "config");
    const Value* whitelist = config != nullptr ? Json::find(*config, "whitelist") : nullptr;
    if (whitelist != nullptr && whitelist->is_object()) {
        for (const auto& [key, entry] : Json::as_object(*whitelist)) taken["keys"].push_back(key);
    }
    return taken;
}

void SimBridge::journal_changes(const Value& before) {
    const Value after = snapshot();
    // A bridge that forgets a key ends the event streams it serves, as
    // their keys are checked only when they open.
    const Value& keys = before["keys"];
    if (std::any_of(keys.begin(), keys.end(),
                    [&](const Value& key) { return !has_key(Json::as_string(key)); })) {
        m_journal.drop_all();
    }
    std::vector<ResourceChange> changes = resource_changes(before["v1"], after["v1"]);
    // A light whose blocks of the newer interface alone changed.
    const Value* old_blocks = Json::find(before["extras"], "lights");
    const Value* new_blocks = Json::find(after["extras"], "lights");
    if (new_blocks != nullptr) {
        std::vector<ResourceChange> more;
        for (const auto& [id, blocks] : Json::as_object(*new_blocks)) {
            const Value* was = old_blocks != nullptr ? Json::find(*old_blocks, id) : nullptr;
            const std::string id_v1 = "/lights/" + id;
            const bool named = std::any_of(changes.begin(), changes.end(),
                                           [&](const auto& c) { return c.id_v1 == id_v1; });
            if ((was == nullptr || *was != blocks) && !named &&
                Json::has(Json::at(after["v1"], "lights"), id)) {
                more.push_back({"update", "light", id_v1});
            }
        }
        changes.insert(changes.begin(), more.begin(), more.end());
    }
    if (changes.empty()) return;
    if (m_clip_v2) {
        for (ResourceChange& change : changes) {
            change.items = clip_event_items(change.kind, change.id_v1, before, after);
        }
    }
    m_journal.append(changes);
}

void SimBridge::serve_clip_v2(bool serve) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_clip_v2 = serve;
    // The devices the fixture gives for the newer interface join the state
    // once, the older interface showing them too.
    const Value* sensors = Json::find(m_extras, "sensors");
    if (!serve || sensors == nullptr || !sensors->is_object()) return;
    for (const auto& [id, sensor] : Json::as_object(*sensors)) {
        member(m_state, "sensors")[id] = sensor;
    }
    m_extras.erase("sensors");
}

void SimBridge::set_rate_limit(int per_second) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rate_limit = per_second;
}

bool SimBridge::over_rate_limit() {
    if (m_rate_limit <= 0) return false;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_rate_window >= std::chrono::seconds(1)) {
        m_rate_window = now;
        m_rate_count = 0;
    }
    return ++m_rate_count > m_rate_limit;
}

bool SimBridge::has_user(const std::string& name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return has_key(name);
}

bool SimBridge::has_key(const std::string& name) const {
    const Value* config = Json::find(m_state, "config");
    const Value* whitelist = config != nullptr ? Json::find(*config, "whitelist") : nullptr;
    return whitelist != nullptr && Json::has(*whitelist, name);
}

bool SimBridge::has_fault(const std::string& method, const std::string& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::string key = method + " " + path;
    return m_faults.count(key) > 0 || m_refusals.count(key) > 0;
}

void SimBridge::set_observer(std::function<void(const LoggedRequest&)> observer) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_observer = std::move(observer);
}

Value error_element(int type, const std::string& address, const std::string& description) {
    Value error = Value::object();
    error["type"] = type;
    error["address"] = address;
    error["description"] = description;
    Value element = Value::object();
    element["error"] = error;
    return element;
}

Reply error_reply(int type, const std::string& address, const std::string& description) {
    return json_reply(Value::array({error_element(type, address, description)}));
}

Reply not_available(const std::string& address) {
    return error_reply(kNotAvailable, address, "resource, " + address + ", not available");
}

Reply method_not_available(const Route& route) {
    return error_reply(
        kMethodNotAvailable, route.address,
        "method, " + route.method + ", not available for resource, " + route.address);
}

Value deleted(const std::string& address) {
    Value element = Value::object();
    element["success"] = address + " deleted";
    return element;
}

Reply change_members(Value& target, const Value& body, const std::string& address,
                     const std::function<bool(const std::string&, const Value&)>& accepts) {
    if (!body.is_object()) return error_reply(kInvalidJson, address, "body contains invalid json");
    Value results = Value::array();
    for (const auto& [key, v] : Json::as_object(body)) {
        const std::string member_address = address + "/" + key;
        if (accepts(key, v)) {
            target[key] = v;
            results.push_back(success(member_address, v));
        } else {
            results.push_back(
                error_element(kInvalidValue, member_address,
                              "invalid value, " + Json::text(v) + ", for parameter, " + key));
        }
    }
    return json_reply(results);
}

Listings listings_from_text(const std::string& text) {
    if (text == "whole") return Listings::whole;
    if (text == "names") return Listings::names;
    if (text == "mixed") return Listings::mixed;
    throw std::invalid_argument("listings must be whole, names or mixed, not " + text);
}

Reply listing_reply(const Value& items, Listings shape) {
    if (shape == Listings::whole || !items.is_object()) return json_reply(items);
    Value listing = Value::object();
    std::size_t position = 0;
    for (const auto& [id, item] : Json::as_object(items)) {
        ++position;
        if (shape == Listings::mixed && position % 2 == 1) {
            listing[id] = item;
            continue;
        }
        Value named = Value::object();
        if (const Value* name = Json::find(item, "name")) named["name"] = *name;
        listing[id] = named;
    }
    return json_reply(listing);
}

Reply json_reply(const Value& body) {
    Reply reply;
    reply.body = Json::text(body);
    return reply;
}

Value success(const std::string& address, const Value& result) {
    Value inner = Value::object();
    inner[address] = result;
    Value element = Value::object();
    element["success"] = inner;
    return element;
}

Value& member(Value& object, const std::string& key) {
    if (!Json::has(object, key)) object[key] = Value::object();
    return object[key];
}

std::string now_text() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    return text;
}

}  // namespace Sim
