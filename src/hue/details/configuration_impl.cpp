#include "hue/details/configuration_impl.hpp"

#include <iomanip>
#include <locale>
#include <optional>
#include <sstream>
#include <string_view>

#include "hue/bridge_id.hpp"
#include "hue/details/resource_impl.hpp"

namespace Hue {
namespace details {
namespace {

using Json::Value;

constexpr uint32_t kLowestApiVersion = 0x01000000;  // 1.0.0

const std::string& text_of(const Value& json, const char* key) {
    return Json::as_string(Json::at(json, key));
}

// Reads the bridge's date text "YYYY-MM-DDTHH:MM:SS" into `time` as it stands.
// A text that does not match is no error: `time` keeps what was read of it.
void read_time(const Value& json, const char* key, std::tm& time) {
    std::istringstream stream(text_of(json, key));
    stream.imbue(std::locale::classic());
    stream >> std::get_time(&time, "%Y-%m-%dT%H:%M:%S");
}

void read_whitelist(const Value& whitelist, std::map<std::string, WhitelistEntry>& entries) {
    for (const auto& [user, member] : Json::as_object(whitelist)) {
        WhitelistEntry& entry = entries[user];
        read_time(member, "last use date", entry.last_use_date);
        read_time(member, "create date", entry.create_date);
        entry.name = text_of(member, "name");
    }
}

void read_status(const Value& json, ConfigurationStatus& status) {
    if (const Value* whitelist = Json::find(json, "whitelist")) {
        read_whitelist(*whitelist, status.whitelist);
    }
    if (Json::has(json, "apiversion")) {
        status.api_version = pack_api_version(text_of(json, "apiversion"));
    }
    read_field(json, "swversion", status.swversion);
    read_field(json, "mac", status.mac);
    if (Json::has(json, "UTC")) read_time(json, "UTC", status.utc);
    if (Json::has(json, "localtime")) read_time(json, "localtime", status.localtime);
    read_field(json, "zigbeechannel", status.zigbeechannel);
}

void read_swupdate(const Value& json, SoftwareUpdate& update) {
    update.updatestate = Json::as_int(Json::at(json, "updatestate"));
    update.url = text_of(json, "url");
    update.text = text_of(json, "text");
    update.notify = Json::as_bool(Json::at(json, "notify"));
}

// True for the characters the host of a URL may hold: letters, digits,
// "-._~", the sub-delimiters "!$&'()*+,;=", and '%', ':', '@', '[', ']'.
bool is_host_character(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    for (const char other : std::string_view("-._~!$&'()*+,;=%:@[]")) {
        if (c == other) return true;
    }
    return false;
}

// The proxy a bridge reports by `address` and `port`, its host in lower case;
// nullopt for an address that cannot be the host of a URL (blanks, controls,
// non-ASCII bytes, '/', ...).
std::optional<BridgeProxy> proxy_of(const std::string& address, int port) {
    BridgeProxy proxy{address, port};
    for (char& c : proxy.host) {
        if (!is_host_character(c)) return std::nullopt;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return proxy;
}

void read_settings(const Value& json, ConfigurationSettings& settings) {
    // The bridge reports "no proxy" as port 0 (and usually the address "none").
    const Value* port = Json::find(json, "proxyport");
    const Value* address = Json::find(json, "proxyaddress");
    if (port != nullptr && address != nullptr) {
        const int number = Json::as_int(*port);
        if (number != 0) {
            // An address that does not form a URL ("proxy host", control or non-ASCII
            // bytes) reads as no proxy, so that the rest of the configuration still reads.
            settings.proxy = proxy_of(Json::as_string(*address), number).value_or(BridgeProxy());
        }
    }
    read_field(json, "name", settings.name);
    if (const Value* update = Json::find(json, "swupdate"))
        read_swupdate(*update, settings.swupdate);
    read_field(json, "linkbutton", settings.linkbutton);
    read_field(json, "ipaddress", settings.ipaddress);
    read_field(json, "netmask", settings.netmask);
    read_field(json, "gateway", settings.gateway);
    read_field(json, "dhcp", settings.dhcp);
    read_field(json, "portalservices", settings.portalservices);
    read_field(json, "timezone", settings.timezone);
}

}  // namespace

uint32_t pack_api_version(const std::string& text) {
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());
    uint32_t packed = 0;
    for (int shift = 24; shift >= 0; shift -= 8) {
        unsigned int component = 0;
        if (stream >> component) packed |= static_cast<uint32_t>(component) << shift;
        if (stream.eof()) break;
        stream.get();  // the separator
    }
    return packed < kLowestApiVersion ? kLowestApiVersion : packed;
}

Configuration_Impl::Configuration_Impl(const Client& client) : m_client(client) {}

void Configuration_Impl::read(const Value& json) {
    // An array (an error array) has none of the members; anything else that
    // is not an object is no configuration at all.
    if (!json.is_object() && !json.is_array()) throw Json::Error("not an object");
    const Value empty = Value::object();
    const Value& object = json.is_object() ? json : empty;

    m_members.clear();
    m_bridge_id = configuration_bridge_id(object);
    m_status = ConfigurationStatus();
    read_status(object, m_status);
    m_settings = ConfigurationSettings();
    read_settings(object, m_settings);
    m_pending = m_settings;
    for (const auto& member : Json::as_object(object)) m_members.insert(member.first);
}

Value Configuration_Impl::save_body() const {
    const ConfigurationSettings& read = m_settings;
    const ConfigurationSettings& wanted = m_pending;
    Value body = Value::object();
    put_change(body, "proxyport", wanted.proxy.port, read.proxy.port);
    put_change(body, "proxyaddress", wanted.proxy.host, read.proxy.host);
    put_change(body, "name", wanted.name, read.name);
    if (wanted.swupdate.updatestate != read.swupdate.updatestate) {
        body["swupdate"]["updatestate"] = wanted.swupdate.updatestate;
    }
    put_change(body, "linkbutton", wanted.linkbutton, read.linkbutton);
    put_change(body, "dhcp", wanted.dhcp, read.dhcp);
    // The address settings only matter when the bridge stops using DHCP.
    if (wanted.dhcp != read.dhcp && !wanted.dhcp) {
        put_change(body, "ipaddress", wanted.ipaddress, read.ipaddress);
        put_change(body, "netmask", wanted.netmask, read.netmask);
        put_change(body, "gateway", wanted.gateway, read.gateway);
    }
    put_change(body, "portalservices", wanted.portalservices, read.portalservices);
    put_change(body, "timezone", wanted.timezone, read.timezone);
    return body.empty() ? Value() : body;
}

}  // namespace details
}  // namespace Hue
