#include "sim/sim_bridge.hpp"

#include <cctype>
#include <chrono>
#include <ctime>
#include <stdexcept>

#include <cpprest/base_uri.h>

#include "sim/routes.hpp"
#include "sim/ssdp_responder.hpp"

namespace Sim {
namespace {

using web::json::value;

value member_or(const value& object, const char* key, const value& fallback) {
    return object.is_object() && object.has_field(key) ? object.at(key) : fallback;
}

std::vector<std::string> decoded_segments(const std::string& path) {
    std::vector<std::string> segments;
    for (const auto& raw : web::uri::split_path(path.substr(0, path.find('?')))) {
        segments.push_back(web::uri::decode(raw));
    }
    return segments;
}

std::string text_member(const value& object, const char* key) {
    return object.has_field(key) && object.at(key).is_string() ? object.at(key).as_string()
                                                               : std::string();
}

std::string description_document(const value& fixture) {
    if (!fixture.is_object() || !fixture.has_field("description")) return std::string();
    const value& d = fixture.at("description");
    DeviceFields fields;
    fields.device_type = "urn:schemas-upnp-org:device:Basic:1";
    fields.friendly_name = text_member(d, "friendlyName");
    fields.manufacturer = text_member(d, "manufacturer");
    fields.model_name = text_member(d, "modelName");
    fields.model_number = text_member(d, "modelNumber");
    fields.serial_number = text_member(d, "serialNumber");
    fields.presentation_url = text_member(d, "presentationURL");
    fields.udn = text_member(d, "UDN");
    fields.url_base = text_member(d, "URLBase");
    return render_description(fields);
}

std::string join(const std::vector<std::string>& segments, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < segments.size(); ++i) text += "/" + segments[i];
    return text.empty() ? "/" : text;
}

// The id the configuration of `state` names or its MAC address makes; "" for neither.
std::string configured_id(const value& state) {
    if (!state.has_field("config")) return std::string();
    const value& config = state.at("config");
    const std::string id = text_member(config, "bridgeid");
    return id.empty() ? bridge_id_from_mac(text_member(config, "mac")) : id;
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

SimBridge::SimBridge(const value& fixture)
    : m_state(member_or(fixture, "state", value::object())),
      m_new_lights(member_or(fixture, "newlights", value::object())),
      m_scan(value::parse(R"({"lastscan":"none"})")),
      m_portal(member_or(fixture, "portal", value::array())),
      m_description(description_document(fixture)),
      m_serial(fixture.is_object() && fixture.has_field("description")
                   ? text_member(fixture.at("description"), "serialNumber")
                   : std::string()),
      m_link_button(member_or(fixture, "linkbutton", value::boolean(false)).as_bool()),
      m_generate_names(member_or(fixture, "generatenames", value::boolean(false)).as_bool()),
      m_listings(
          listings_from_text(member_or(fixture, "listings", value::string("whole")).as_string())) {
    member(member(m_state, "config"), "whitelist");
    const value faults = member_or(fixture, "faults", value::array());
    for (const auto& f : faults.as_array()) {
        Fault fault;
        fault.status = member_or(f, "status", value::number(200)).as_integer();
        fault.reason = member_or(f, "reason", value::string("")).as_string();
        if (f.has_field("body")) fault.body = f.at("body").as_string();
        fault.delay_ms = member_or(f, "delay_ms", value::number(0)).as_integer();
        m_faults[f.at("method").as_string() + " " + f.at("path").as_string()] = fault;
    }
}

Reply SimBridge::handle(const std::string& method, const std::string& path, const std::string& body,
                        int connection) {
    std::function<void(const LoggedRequest&)> observer;
    LoggedRequest logged{method, path, body, connection};
    Reply reply;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
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
                reply.body = route(method, path, body).body;
            }

        } else {
            reply = route(method, path, body);
        }
    }
    if (observer) observer(logged);
    return reply;
}

Reply SimBridge::route(const std::string& method, const std::string& path,
                       const std::string& body) {
    const std::vector<std::string> segments = decoded_segments(path);
    if (method == "GET" && path == "/description.xml" && !m_description.empty() && !m_newest) {
        Reply reply;
        reply.body = m_description;
        reply.content_type = "text/xml";
        return reply;
    }
    if (segments.empty() || segments[0] != "api") {
        Reply reply;
        reply.status = 404;
        reply.body = "<html><body>not found</body></html>";
        reply.content_type = "text/html";
        return reply;
    }
    Route route{method, {}, "", value::null()};
    if (!body.empty()) {
        try {
            route.body = value::parse(body);
        } catch (const web::json::json_exception&) {
            return error_reply(kInvalidJson, join(segments, 1), "body contains invalid json");
        }
    }
    BridgeData data{m_state, m_new_lights, m_scan, m_link_button, m_generate_names, m_listings};
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
    const bool allowed = m_state.at("config").at("whitelist").has_field(user);
    const std::string address = join(segments, 2);
    if (!allowed) {
        if (segments.size() == 3 && segments[2] == "config" && method == "GET") {
            return unauthorized_config(data);
        }
        return error_reply(kUnauthorized, address, "unauthorized user");
    }
    if (segments.size() == 2) {
        if (method == "GET") return json_reply(m_state);
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
    if (m_state.has_field(resource) && method == "GET" && route.rest.empty()) {
        return json_reply(m_state.at(resource));
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

value SimBridge::state() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state;
}

void SimBridge::update(const std::function<void(value& state)>& change) {
    std::lock_guard<std::mutex> lock(m_mutex);
    change(m_state);
}

void SimBridge::set_observer(std::function<void(const LoggedRequest&)> observer) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_observer = std::move(observer);
}

value error_element(int type, const std::string& address, const std::string& description) {
    value error = value::object();
    error["type"] = value::number(type);
    error["address"] = value::string(address);
    error["description"] = value::string(description);
    value element = value::object();
    element["error"] = error;
    return element;
}

Reply error_reply(int type, const std::string& address, const std::string& description) {
    return json_reply(value::array({error_element(type, address, description)}));
}

Reply not_available(const std::string& address) {
    return error_reply(kNotAvailable, address, "resource, " + address + ", not available");
}

Reply method_not_available(const Route& route) {
    return error_reply(
        kMethodNotAvailable, route.address,
        "method, " + route.method + ", not available for resource, " + route.address);
}

value deleted(const std::string& address) {
    value element = value::object();
    element["success"] = value::string(address + " deleted");
    return element;
}

Reply change_members(value& target, const value& body, const std::string& address,
                     const std::function<bool(const std::string&, const value&)>& accepts) {
    if (!body.is_object()) return error_reply(kInvalidJson, address, "body contains invalid json");
    value results = value::array();
    std::size_t n = 0;
    for (const auto& [key, v] : body.as_object()) {
        const std::string member_address = address + "/" + key;
        if (accepts(key, v)) {
            target[key] = v;
            results[n++] = success(member_address, v);
        } else {
            results[n++] =
                error_element(kInvalidValue, member_address,
                              "invalid value, " + v.serialize() + ", for parameter, " + key);
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

Reply listing_reply(const value& items, Listings shape) {
    if (shape == Listings::whole || !items.is_object()) return json_reply(items);
    value listing = value::object();
    std::size_t position = 0;
    for (const auto& [id, item] : items.as_object()) {
        ++position;
        if (shape == Listings::mixed && position % 2 == 1) {
            listing[id] = item;
            continue;
        }
        value named = value::object();
        if (item.is_object() && item.has_field("name")) named["name"] = item.at("name");
        listing[id] = named;
    }
    return json_reply(listing);
}

Reply json_reply(const value& body) {
    Reply reply;
    reply.body = body.serialize();
    return reply;
}

value success(const std::string& address, const value& result) {
    value inner = value::object();
    inner[address] = result;
    value element = value::object();
    element["success"] = inner;
    return element;
}

value& member(value& object, const std::string& key) {
    if (!object.has_field(key)) object[key] = value::object();
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
