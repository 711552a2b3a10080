#include "hue/details/configuration_impl.hpp"

#include <iomanip>
#include <locale>
#include <sstream>

#include <cpprest/uri_builder.h>

#include "hue/details/resource_impl.hpp"

namespace Hue {
namespace details {
namespace {

using web::json::value;

constexpr uint32_t kLowestApiVersion = 0x01000000;  // 1.0.0

std::string text_of(const value& json, const char* key) { return json.at(key).as_string(); }

// Reads the bridge's date text "YYYY-MM-DDTHH:MM:SS" into `time` as it stands.
// A text that does not match is no error: `time` keeps what was read of it.
void read_time(const value& json, const char* key, std::tm& time) {
    std::istringstream stream(text_of(json, key));
    stream.imbue(std::locale::classic());
    stream >> std::get_time(&time, "%Y-%m-%dT%H:%M:%S");
}

void read_whitelist(const value& whitelist, std::map<std::string, WhitelistEntry>& entries) {
    for (const auto& [user, member] : whitelist.as_object()) {
        WhitelistEntry& entry = entries[user];
        read_time(member, "last use date", entry.last_use_date);
        read_time(member, "create date", entry.create_date);
        entry.name = text_of(member, "name");
    }
}

void read_status(const value& json, ConfigurationStatus& status) {
    if (json.has_field("whitelist")) read_whitelist(json.at("whitelist"), status.whitelist);
    if (json.has_field("apiversion")) {
        status.api_version = pack_api_version(text_of(json, "apiversion"));
    }
    read_field(json, "swversion", status.swversion);
    read_field(json, "mac", status.mac);
    if (json.has_field("UTC")) read_time(json, "UTC", status.utc);
    if (json.has_field("localtime")) read_time(json, "localtime", status.localtime);
    read_field(json, "zigbeechannel", status.zigbeechannel);
}

void read_swupdate(const value& json, SoftwareUpdate& update) {
    update.updatestate = json.at("updatestate").as_integer();
    update.url = text_of(json, "url");
    update.text = text_of(json, "text");
    update.notify = json.at("notify").as_bool();
}

void read_settings(const value& json, ConfigurationSettings& settings) {
    // The bridge reports "no proxy" as port 0 (and usually the address "none").
    if (json.has_field("proxyport") && json.has_field("proxyaddress")) {
        const int port = json.at("proxyport").as_integer();
        if (port != 0) {
            web::uri_builder builder;
            builder.set_port(port);
            builder.set_host(json.at("proxyaddress").as_string());
            // An address that does not form a URI ("proxy host", control or non-ASCII
            // bytes) reads as no proxy, so that the rest of the configuration still reads.
            try {
                settings.proxy = builder.to_uri();
            } catch (const web::uri_exception&) {
                settings.proxy = web::uri();
            }
        }
    }
    read_field(json, "name", settings.name);
    if (json.has_field("swupdate")) read_swupdate(json.at("swupdate"), settings.swupdate);
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

void Configuration_Impl::read(const value& json) {
    // An array (an error array) has none of the members; anything else that
    // is not an object is no configuration at all.
    if (!json.is_object() && !json.is_array()) throw web::json::json_exception("not an object");
    const value empty = value::object();
    const value& object = json.is_object() ? json : empty;

    m_members.clear();
    m_status = ConfigurationStatus();
    read_status(object, m_status);
    m_settings = ConfigurationSettings();
    read_settings(object, m_settings);
    m_pending = m_settings;
    for (const auto& member : object.as_object()) m_members.insert(member.first);
}

value Configuration_Impl::save_body() const {
    const ConfigurationSettings& read = m_settings;
    const ConfigurationSettings& wanted = m_pending;
    value body = value::object();
    put_change(body, "proxyport", wanted.proxy.port(), read.proxy.port());
    put_change(body, "proxyaddress", wanted.proxy.host(), read.proxy.host());
    put_change(body, "name", wanted.name, read.name);
    if (wanted.swupdate.updatestate != read.swupdate.updatestate) {
        value swupdate = value::object();
        swupdate["updatestate"] = value::number(wanted.swupdate.updatestate);
        body["swupdate"] = swupdate;
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
    return body.size() == 0 ? value::null() : body;
}

}  // namespace details
}  // namespace Hue
