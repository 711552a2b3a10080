#include "hue/details/configuration_impl.hpp"

#include <string>

#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "json/text.hpp"
#include "util/utc_text.hpp"

namespace Hue {
namespace {

// The proxy as a URL without scheme: "//host:port/", "/" for none.
std::string proxy_url(const BridgeProxy& proxy) {
    if (proxy.host.empty()) return "/";
    return "//" + proxy.host + (proxy.port > 0 ? ":" + std::to_string(proxy.port) : "") + "/";
}

// A configuration state read from JSON texts; its client is never used.
class ConfigurationParse : public ::testing::Test {
protected:
    void parse(const char* json) { m_impl.read(Json::parse(json)); }
    details::Configuration_Impl m_impl{Client()};
};

TEST_F(ConfigurationParse, ReadsEveryMember) {
    parse(R"({
        "name": "Bridge", "mac": "02:00:aa:1a:2b:3c", "swversion": "2.0.12",
        "apiversion": "1.2.1", "zigbeechannel": 15,
        "UTC": "2014-05-01T07:00:00", "localtime": "2014-05-01T09:00:00",
        "proxyaddress": "192.0.2.9", "proxyport": 8080,
        "swupdate": {"updatestate": 2, "url": "u", "text": "Fixes", "notify": true},
        "linkbutton": true, "ipaddress": "192.0.2.10", "netmask": "255.255.255.0",
        "gateway": "192.0.2.1", "dhcp": true, "portalservices": true, "timezone": "Europe/Berlin",
        "whitelist": {
            "zz": {"last use date": "2014-05-01T07:00:00", "create date": "2014-04-01T06:00:00",
                   "name": "phone"},
            "aa": {"last use date": "2014-05-02T08:00:00", "create date": "2014-04-02T06:30:00",
                   "name": "glowrig"}}})");
    const ConfigurationStatus& status = m_impl.status();
    EXPECT_EQ(0x01020100u, status.api_version);
    EXPECT_EQ("2.0.12", status.swversion);
    EXPECT_EQ("02:00:aa:1a:2b:3c", status.mac);
    EXPECT_EQ(15, status.zigbeechannel);
    EXPECT_EQ("Thu May  1 07:00:00 2014 UTC", Util::utc_text(status.utc));
    EXPECT_EQ(9, status.localtime.tm_hour);
    ASSERT_EQ(2u, status.whitelist.size());
    EXPECT_EQ("aa", status.whitelist.begin()->first);
    EXPECT_EQ("glowrig", status.whitelist.at("aa").name);
    EXPECT_EQ("Wed Apr  2 06:30:00 2014 UTC",
              Util::utc_text(status.whitelist.at("aa").create_date));

    const ConfigurationSettings& s = m_impl.settings();
    EXPECT_EQ("Bridge", s.name);
    EXPECT_EQ("//192.0.2.9:8080/", proxy_url(s.proxy));
    EXPECT_EQ(2, s.swupdate.updatestate);
    EXPECT_EQ("u", s.swupdate.url);
    EXPECT_EQ("Fixes", s.swupdate.text);
    EXPECT_TRUE(s.swupdate.notify);
    EXPECT_TRUE(s.linkbutton);
    EXPECT_EQ("192.0.2.10", s.ipaddress);
    EXPECT_EQ("255.255.255.0", s.netmask);
    EXPECT_EQ("192.0.2.1", s.gateway);
    EXPECT_TRUE(s.dhcp);
    EXPECT_TRUE(s.portalservices);
    EXPECT_EQ("Europe/Berlin", s.timezone);
    EXPECT_TRUE(m_impl.save_body().is_null());
}

TEST_F(ConfigurationParse, NonObjectRepliesKeepTheDefaults) {
    for (const char* json :
         {R"([{"error":{"type":1,"address":"/config","description":"unauthorized user"}}])",
          "{}"}) {
        SCOPED_TRACE(json);
        parse(json);
        const ConfigurationStatus& status = m_impl.status();
        EXPECT_EQ(0x01000000u, status.api_version);
        EXPECT_TRUE(status.whitelist.empty());
        EXPECT_EQ("Thu Jan  1 00:00:00 1970 UTC", Util::utc_text(status.utc));
        EXPECT_EQ(0, status.zigbeechannel);
        EXPECT_EQ("/", proxy_url(m_impl.settings().proxy));
        EXPECT_EQ("", m_impl.settings().name);
        EXPECT_FALSE(m_impl.settings().dhcp);
    }
    // Neither an object nor an (error) array: no configuration at all.
    for (const char* json : {"null", "1.5", R"("config")", "true"}) {
        SCOPED_TRACE(json);
        EXPECT_THROW(parse(json), Json::Error);
    }
}

TEST_F(ConfigurationParse, PacksTheApiVersionOneComponentPerByte) {
    const struct {
        const char* json;
        uint32_t packed;
    } cases[] = {
        // Components are ORed in unlimited: 300 spills into the byte above it.
        {R"({"apiversion":"1.2.1"})", 0x01020100},   {R"({"apiversion":"1.3.0"})", 0x01030000},
        {R"({"apiversion":"0.9"})", 0x01000000},     {R"({"apiversion":"1.2.1.7"})", 0x01020107},
        {R"({"apiversion":"2"})", 0x02000000},       {R"({"apiversion":"1.x.3"})", 0x01000000},
        {R"({"apiversion":"1.2.300"})", 0x01032C00}, {R"({})", 0x01000000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        parse(c.json);
        EXPECT_EQ(c.packed, m_impl.status().api_version);
    }
}

// An address that cannot be the host of a URL is no proxy; a host is kept in
// lower case, a port as reported.
TEST_F(ConfigurationParse, ProxyNeedsAddressAndNonZeroPort) {
    const struct {
        const char* json;
        const char* proxy;
    } cases[] = {
        {R"({"proxyaddress":"192.0.2.9","proxyport":3128})", "//192.0.2.9:3128/"},
        {R"({"proxyaddress":"192.0.2.9","proxyport":0})", "/"},
        {R"({"proxyaddress":"none","proxyport":0})", "/"},
        {R"({"proxyport":3128})", "/"},
        {R"({"proxyaddress":"192.0.2.9"})", "/"},
        {R"({"proxyaddress":"Proxy.Example","proxyport":3128})", "//proxy.example:3128/"},
        {R"({"proxyaddress":"[::1]","proxyport":3128})", "//[::1]:3128/"},
        {R"({"proxyaddress":"192.0.2.9","proxyport":-1})", "//192.0.2.9/"},
        {R"({"proxyaddress":"a/b","proxyport":3128})", "/"},
        {R"({"proxyaddress":"a\tb","proxyport":3128})", "/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        parse(c.json);
        EXPECT_EQ(c.proxy, proxy_url(m_impl.settings().proxy));
    }
}

TEST_F(ConfigurationParse, DateThatDoesNotMatchIsNoError) {
    parse(R"({"UTC":"none","localtime":"2014-05-01"})");
    EXPECT_EQ("Thu Jan  1 00:00:00 1970 UTC", Util::utc_text(m_impl.status().utc));
    EXPECT_EQ(114, m_impl.status().localtime.tm_year);
    EXPECT_EQ(1, m_impl.status().localtime.tm_mday);
    // A whitelist date that does not match also stays at the epoch.
    parse(R"({"whitelist":{"u":{"last use date":"none","create date":"","name":"n"}}})");
    const WhitelistEntry& entry = m_impl.status().whitelist.at("u");
    EXPECT_EQ("Thu Jan  1 00:00:00 1970 UTC", Util::utc_text(entry.last_use_date));
    EXPECT_EQ("Thu Jan  1 00:00:00 1970 UTC", Util::utc_text(entry.create_date));
}

TEST_F(ConfigurationParse, SecondParseReplacesEverything) {
    parse(R"({"name":"old","zigbeechannel":11,"whitelist":{"u1":{"last use date":"",
             "create date":"","name":"n"}}})");
    m_impl.pending_settings().timezone = "UTC";
    parse(R"({"mac":"m"})");
    EXPECT_TRUE(m_impl.status().whitelist.empty());
    EXPECT_EQ(0, m_impl.status().zigbeechannel);
    EXPECT_EQ("", m_impl.settings().name);
    EXPECT_TRUE(m_impl.save_body().is_null()) << "pending settings are reset by a read";
}

TEST_F(ConfigurationParse, WrongTypesAndIncompleteRecordsFail) {
    for (const char* json : {
             R"({"zigbeechannel":"15"})",
             R"({"name":7})",
             R"({"dhcp":"true"})",
             R"({"whitelist":{"u1":{"last use date":"2014-05-01T07:00:00","name":"n"}}})",
             R"({"whitelist":{"u1":"n"}})",
             R"({"swupdate":{"updatestate":2,"url":"","notify":false}})",
             R"({"proxyaddress":"192.0.2.9","proxyport":"80"})",
         }) {
        SCOPED_TRACE(json);
        EXPECT_THROW(parse(json), Json::Error);
    }
}

// save_body() compares pending with read settings.
class ConfigurationChangeSet : public ConfigurationParse {
protected:
    void SetUp() override {
        parse(R"({"name":"Bridge","dhcp":true,"ipaddress":"192.0.2.10","netmask":"255.0.0.0",
                  "gateway":"192.0.2.1","timezone":"Europe/Berlin","proxyaddress":"none",
                  "proxyport":0,
                  "swupdate":{"updatestate":2,"url":"","text":"","notify":false}})");
    }
    std::string body() const { return Json::text(m_impl.save_body()); }
};

TEST_F(ConfigurationChangeSet, SendsOnlyWhatDiffers) {
    ConfigurationSettings& p = m_impl.pending_settings();
    p.swupdate.url = "http://192.0.2.1/fw";
    p.swupdate.text = "new";
    EXPECT_TRUE(m_impl.save_body().is_null()) << "only the update state is ever sent";
    p.timezone = "UTC";
    EXPECT_EQ(R"({"timezone":"UTC"})", body());
    p.swupdate.updatestate = 3;
    p.swupdate.notify = true;
    EXPECT_EQ(R"({"swupdate":{"updatestate":3},"timezone":"UTC"})", body());
}

TEST_F(ConfigurationChangeSet, AddressesGoOnlyWithDhcpSwitchedOff) {
    ConfigurationSettings& p = m_impl.pending_settings();
    p.ipaddress = "192.0.2.20";
    EXPECT_TRUE(m_impl.save_body().is_null()) << "dhcp unchanged: the address is not sent";
    p.dhcp = false;
    EXPECT_EQ(R"({"dhcp":false,"ipaddress":"192.0.2.20"})", body());
}

TEST_F(ConfigurationChangeSet, ProxySendsPortAndHost) {
    m_impl.pending_settings().proxy = BridgeProxy{"192.0.2.9", 3128};
    EXPECT_EQ(R"({"proxyaddress":"192.0.2.9","proxyport":3128})", body());
}

}  // namespace
}  // namespace Hue
