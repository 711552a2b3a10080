#include "discovery/selection.hpp"

#include <algorithm>
#include <chrono>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include <boost/asio/io_context.hpp>
#include <gtest/gtest.h>

#include "discovery/portal.hpp"
#include "discovery/test_http_server.hpp"
#include "json/parse.hpp"
#include "sim/certificate.hpp"
#include "sim/mdns_responder.hpp"
#include "sim/ssdp_responder.hpp"
#include "support/sim_fixture.hpp"

namespace Discovery {
namespace {

using Bridges = std::vector<Hue::Bridge>;

// One bridge behind the portal (at the simulator's own address and port) and, when
// `ssdp` is set, the same bridge answering the SSDP search.
const char kOneBridge[] = R"({
  "portal": [{"id": "portal-id", "internalipaddress": "{address}", "macaddress": "02:00:aa:aa:bb:cc",
              "name": "ignored"}],
  "description": {"friendlyName": "Living hue bridge", "manufacturer": "A Philips maker",
                  "modelNumber": "929000226503", "serialNumber": "upnp-serial",
                  "presentationURL": "index.html"}
})";

class DiscoveryTest : public TestingSupport::SimFixture {
protected:
    void TearDown() override {
        m_responder.reset();
        m_mdns.reset();
        SimFixture::TearDown();
    }

    // Starts the bridge; `ssdp` makes it answer the SSDP search too, and an
    // mDNS responder answers with `mdns`. The sources are aimed at it, in
    // m_settings and in m_env for glowrig runs.
    void start_discovery(const std::string& fixture, bool ssdp,
                         const std::vector<Sim::MdnsService>& mdns = {}) {
        start(fixture);
        m_mdns = std::make_unique<Sim::MdnsResponder>(mdns);
        m_mdns->start();
        std::string ssdp_target = "127.0.0.9:9";
        if (ssdp) {
            m_responder = std::make_unique<Sim::SsdpResponder>(
                "http://" + address() + "/description.xml", ip());
            m_responder->start();
            ssdp_target = m_responder->endpoint();
        }
        m_env = {{"GLOWRIG_PORTAL", address()},
                 {"GLOWRIG_SSDP", ssdp_target},
                 {"GLOWRIG_MDNS", m_mdns->endpoint()},
                 {"GLOWRIG_SSDP_WINDOW_MS", "300"}};
        m_settings = Settings();
        m_settings.portal = address();
        m_settings.mdns.address = "127.0.0.1";
        m_settings.mdns.port = m_mdns->port();
        m_settings.ssdp.address = ssdp_target.substr(0, ssdp_target.rfind(':'));
        m_settings.ssdp.port =
            static_cast<unsigned short>(std::stoi(ssdp_target.substr(ssdp_target.rfind(':') + 1)));
        m_settings.ssdp.window = std::chrono::milliseconds(300);
    }

    static std::string failure_of(const std::function<void()>& run) {
        try {
            run();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no failure";
    }

    // Asks the portal of `settings` on an io_context of its own, in this
    // thread; throws the failure it reports. Fails the test unless the portal
    // reports exactly once.
    static Bridges ask_portal(const Settings& settings) {
        boost::asio::io_context io;
        Bridges found;
        std::exception_ptr failure;
        int reports = 0;
        find_portal_bridges(io, settings, [&](Bridges bridges, std::exception_ptr error) {
            ++reports;
            found = std::move(bridges);
            failure = error;
        });
        io.run();
        EXPECT_EQ(1, reports);
        if (failure) std::rethrow_exception(failure);
        return found;
    }

    // select_bridge(wanted, m_settings): the failure's text.
    std::string selection_failure(const std::optional<std::string>& wanted) const {
        return failure_of([&] { select_bridge(wanted, m_settings); });
    }

    Settings m_settings;
    TestingSupport::Environment m_env;
    std::unique_ptr<Sim::SsdpResponder> m_responder;
    std::unique_ptr<Sim::MdnsResponder> m_mdns;
};

TEST_F(DiscoveryTest, PortalRepliesBecomeBridgesInOrder) {
    const struct {
        const char* portal;
        std::size_t count;
        const char* failure;
    } cases[] = {
        {R"([{"id":"a","internalipaddress":"10.0.0.2","macaddress":"m1","extra":1},
             {"id":"n","internalipaddress":"localhost","macaddress":"m3"},
             {"id":"b","internalipaddress":"10.0.0.3","macaddress":"m2"},
             {"id":"p","internalipaddress":"bridge.invalid:80","macaddress":"m4"}])",
         2, nullptr},
        // Current portal entries: a "port" (443: HTTPS), no "macaddress".
        {R"([{"id":"a","internalipaddress":"10.0.0.2","port":443},
             {"id":"q","internalipaddress":"10.0.0.4","port":"443"},
             {"id":"r","internalipaddress":"10.0.0.4","port":0},
             {"id":"b","internalipaddress":"10.0.0.3:81","port":8080}])",
         2, nullptr},
        {"[]", 0, nullptr},
        {R"({"id":"a","internalipaddress":"10.0.0.2","macaddress":"m1"})", 0, nullptr},
        {R"([{"id":"a","internalipaddress":7,"macaddress":"m1"}])", 0, "not a string"},
        {R"([{"id":"a","macaddress":"m1"}])", 0, "Key not found"},
        {R"([{"error":{"type":1}}])", 0, R"({"error":{"type":1}})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.portal);
        start_discovery(std::string(R"({"portal":)") + c.portal + "}", false);
        if (c.failure != nullptr) {
            EXPECT_EQ(c.failure, failure_of([this] { ask_portal(m_settings); }));
            continue;
        }
        const Bridges bridges = ask_portal(m_settings);
        ASSERT_EQ(c.count, bridges.size());
        if (c.count == 2) {
            EXPECT_EQ("a", bridges[0].id());
            EXPECT_EQ("10.0.0.2", bridges[0].endpoint().host);
            EXPECT_EQ("b", bridges[1].id());
        }
        if (c.count == 2 && bridges[0].endpoint().port == 443) {
            EXPECT_EQ("", bridges[0].mac());
            EXPECT_EQ(Hue::Scheme::Https, bridges[0].endpoint().scheme);
            EXPECT_EQ(8080, bridges[1].endpoint().port);
            EXPECT_EQ(Hue::Scheme::Http, bridges[1].endpoint().scheme);
        } else if (c.count == 2) {
            EXPECT_EQ("m1", bridges[0].mac());
            EXPECT_EQ(80, bridges[0].endpoint().port);
        }
    }
    EXPECT_EQ("GET /api/nupnp", request_lines().back());
}

TEST_F(DiscoveryTest, APortalNamedByAUrlIsFetchedAsGiven) {
    UPnP::TestSupport::TestHttpServer server;
    const char kReply[] = R"([{"id":"a","internalipaddress":"10.0.0.2","port":443}])";
    server.serve("/", kReply);
    server.serve("/v1/bridges", kReply);
    const std::string port = server.url("").substr(server.url("").rfind(':'));
    const struct {
        std::string url;
        const char* path;
    } cases[] = {
        {"http://127.0.0.1" + port + "/v1/bridges", "/v1/bridges"},
        {"http://localhost" + port + "/v1/bridges", "/v1/bridges"},  // resolved
        {"http://127.0.0.1" + port, "/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        Settings settings;
        settings.portal = c.url;
        const std::size_t before = server.requests(c.path);
        const Bridges bridges = ask_portal(settings);
        ASSERT_EQ(1u, bridges.size());
        EXPECT_EQ("a", bridges[0].id());
        EXPECT_EQ(Hue::Scheme::Https, bridges[0].endpoint().scheme);
        EXPECT_EQ(before + 1, server.requests(c.path));
    }
}

// An HTTPS portal is trusted as a web site is: the certificate must lead to an
// authority of the system's store (here the test's own, through SSL_CERT_FILE)
// and name the host of the URL.
TEST_F(DiscoveryTest, AnHttpsPortalMustShowACertificateForItsHost) {
    serve_tls();
    start_discovery(R"({"state": {"config": {"bridgeid": "0200AAFFFE0A1B2C"}},
      "portal": [{"id": "portal-id", "internalipaddress": "{address}", "macaddress": "02:00:aa:aa:bb:cc"}]})",
                    false);
    const std::string port = ":" + std::to_string(this->port());
    const TestingSupport::TemporaryDirectory home;
    const std::string trusted = home.path() + "/authorities.pem";
    const struct {
        const char* what;
        const char* certified;  // the name in the portal's certificate
        bool authority;         // the certificate is in the trusted store
        std::string url;
        std::string output;
        int status = 1;
    } cases[] = {
        {"a certified name", "localhost", true, "https://localhost" + port + "/api/nupnp",
         expand("\nLocal Bridges\n\nId                  IP Address     \tMAC Address\n"
                "portal-id           {address}\t02:00:aa:aa:bb:cc\n"),
         0},
        {"another name", "portal.example", true, "https://localhost" + port + "/api/nupnp",
         "\nError: the TLS handshake with localhost" + port + " failed: hostname mismatch.\n"},
        {"an address the certificate does not name", "localhost", true,
         "https://127.0.0.1" + port + "/api/nupnp",
         "\nError: the TLS handshake with 127.0.0.1" + port + " failed: IP address mismatch.\n"},
        {"an authority not trusted", "localhost", false, "https://localhost" + port + "/api/nupnp",
         "\nError: the TLS handshake with localhost" + port +
             " failed: self-signed certificate.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        renew_certificate(c.certified);
        std::ofstream(trusted) << (c.authority
                                       ? certificate_pem()
                                       : Sim::make_certificate(c.certified).certificate_pem);
        // The searches cannot start: discovery fails with the portal. The
        // system's store is read by the TLS library from the process's own
        // environment: this runs the binary.
        const auto result =
            TestingSupport::run_glowrig({"bridges"}, {{"GLOWRIG_PORTAL", c.url},
                                                      {"GLOWRIG_SSDP", "255.255.255.255:1900"},
                                                      {"GLOWRIG_MDNS", "off"},
                                                      {"GLOWRIG_SSDP_WINDOW_MS", "300"},
                                                      {"SSL_CERT_FILE", trusted},
                                                      {"XDG_CONFIG_HOME", home.path()}});
        EXPECT_EQ(c.output, result.output);
        EXPECT_EQ(c.status, result.status);
    }
}

TEST_F(DiscoveryTest, SelectsByIdInAnyCaseOrTheOnlyBridge) {
    start_discovery(kOneBridge, false);
    EXPECT_EQ("portal-id", select_bridge(std::nullopt, m_settings).id());
    EXPECT_EQ("portal-id", select_bridge(std::string("portal-id"), m_settings).id());
    EXPECT_EQ("portal-id", select_bridge(std::string("PORTAL-ID"), m_settings).id());
    EXPECT_EQ("Invalid bridge identifier.", selection_failure(std::string("portal-id2")));
    EXPECT_EQ("Invalid bridge identifier.", selection_failure(std::string("bridge.local")));
}

TEST_F(DiscoveryTest, EachSourceAloneFindsTheBridge) {
    const std::string no_portal = R"({"portal": [], "description": {
        "friendlyName": "Living hue bridge", "manufacturer": "A Philips maker",
        "serialNumber": "upnp-serial", "presentationURL": "index.html"}})";
    const struct {
        const char* what;
        std::string fixture;
        bool ssdp;
        std::vector<Sim::MdnsService> mdns;
        const char* id;
        unsigned short port;  // 0: the simulator's
        Hue::Scheme scheme;
        const char* mac;
    } cases[] = {
        {"portal", kOneBridge, false, {}, "portal-id", 0, Hue::Scheme::Http, "02:00:aa:aa:bb:cc"},
        {"SSDP", no_portal, true, {}, "upnp-serial", 0, Hue::Scheme::Http, ""},
        {"mDNS",
         R"({"portal": []})",
         false,
         {{"Hall", "hall", "127.0.0.1", 443, "mdns-id", ""}},
         "mdns-id",
         443,
         Hue::Scheme::Https,
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        start_discovery(c.fixture, c.ssdp, c.mdns);
        // A countdown ticks while the sources run, and stops when they end.
        int ticks = 0;
        const Hue::Bridge chosen = select_bridge(std::nullopt, m_settings, [&ticks] { ++ticks; });
        EXPECT_GE(ticks, 1);
        EXPECT_LE(ticks, 4);
        EXPECT_EQ(c.id, chosen.id());
        EXPECT_EQ(ip(), chosen.endpoint().host);
        EXPECT_EQ(c.port == 0 ? port() : c.port, chosen.endpoint().port);
        EXPECT_EQ(c.scheme, chosen.endpoint().scheme);
        EXPECT_EQ(c.mac, chosen.mac());
    }

    // A bridge of the newest generation serves no description: SSDP cannot find it.
    start_discovery(no_portal, true);
    bridge().set_newest(true);
    EXPECT_TRUE(find_bridges(m_settings).empty());
    const auto requests = request_lines();
    EXPECT_EQ(1, std::count(requests.begin(), requests.end(), "GET /description.xml"));
}

TEST_F(DiscoveryTest, OneBridgeFoundByEverySourceIsOneBridgeAtItsLanAddress) {
    // The portal's entry names an old address; SSDP and mDNS see the bridge
    // where it is now, mDNS through HTTPS.
    start_discovery(R"({
      "portal": [{"id": "0200AAFFFE0A1B2C", "internalipaddress": "10.0.0.2", "macaddress": "m1"}],
      "description": {"friendlyName": "Living hue bridge", "manufacturer": "A Philips maker",
                      "serialNumber": "0200aafffe0a1b2c", "presentationURL": "index.html"}})",
                    true, {{"Hall", "hall", "127.0.0.1", 443, "0200AaFffe0a1b2c", ""}});
    const Bridges bridges = find_bridges(m_settings);
    ASSERT_EQ(1u, bridges.size());
    EXPECT_EQ("0200AaFffe0a1b2c", bridges[0].id());
    EXPECT_EQ("127.0.0.1", bridges[0].endpoint().host);
    EXPECT_EQ(443, bridges[0].endpoint().port);
    EXPECT_EQ(Hue::Scheme::Https, bridges[0].endpoint().scheme);
    EXPECT_EQ("m1", bridges[0].mac());
    EXPECT_EQ(443, select_bridge(std::nullopt, m_settings).endpoint().port);
    EXPECT_EQ(443, select_bridge(std::string("0200aafffe0a1b2c"), m_settings).endpoint().port);
}

TEST_F(DiscoveryTest, NoBridgeOrSeveralBridgesFailTheSelection) {
    start_discovery(R"({"portal":[]})", false);
    EXPECT_EQ("No bridges found.", selection_failure(std::nullopt));
    start_discovery(R"({"portal":[{"id":"a","internalipaddress":"10.0.0.2","macaddress":""},
                                  {"id":"b","internalipaddress":"10.0.0.3","macaddress":""}]})",
                    false);
    EXPECT_EQ("Unable to identify bridge.", selection_failure(std::nullopt));
    EXPECT_EQ("10.0.0.3", select_bridge(std::string("b"), m_settings).endpoint().host);
}

TEST_F(DiscoveryTest, CommandsReportAFailedSelection) {
    const char kTwoBridges[] = R"({"portal":[
        {"id":"a","internalipaddress":"10.0.0.2","macaddress":""},
        {"id":"b","internalipaddress":"10.0.0.3","macaddress":"","port":443}]})";
    // Each bridge found, as --bridge reaches it.
    const std::string found = "  a  10.0.0.2\n  b  https://10.0.0.3\n";
    const struct {
        const char* fixture;
        std::vector<std::string> args;
        const char* output;
        std::string errors = "";
    } cases[] = {
        {kTwoBridges,
         {"groups"},
         "\nMultiple bridges found, please specify desired bridge with --bridge=<Ip||Id>\n"
         "Unable to identify bridge.\n",
         found},
        {kTwoBridges,
         {"groups", "--json"},
         "",
         "Multiple bridges found, please specify desired bridge with --bridge=<Ip||Id>\n" + found +
             "Unable to identify bridge.\n"},
        {kTwoBridges, {"state", "--bridge=0200aafffe0a0c0c"}, "\nInvalid bridge identifier.\n"},
        {R"({"portal":[]})", {"config"}, "\nNo bridges found.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        start_discovery(c.fixture, false);
        const auto result = run_plain(c.args, m_env);
        EXPECT_EQ(c.output, result.output);
        EXPECT_EQ(c.errors, result.errors);
        EXPECT_EQ(1, result.status);
        EXPECT_EQ(std::vector<std::string>{"GET /api/nupnp"}, request_lines());
    }
}

TEST_F(DiscoveryTest, AFailingSourceLeavesTheOtherOnesBridges) {
    start_discovery(kOneBridge, true);
    Sim::Fault down;
    down.status = 503;
    bridge().set_fault("GET", "/api/nupnp", down);
    const Bridges bridges = find_bridges(m_settings);
    ASSERT_EQ(1u, bridges.size());
    EXPECT_EQ("upnp-serial", bridges[0].id());

    // mDNS failing as well, every source has failed: the portal's failure is reported.
    m_settings.ssdp.address = "not an address";
    EXPECT_TRUE(find_bridges(m_settings).empty());  // mDNS answered, with nothing
    m_settings.mdns.address = "255.255.255.255";
    EXPECT_EQ("HTTP 503 Service Unavailable", failure_of([this] { find_bridges(m_settings); }));
}

TEST_F(DiscoveryTest, BridgesCommandPrintsTheTable) {
    start_discovery(R"({
      "portal": [{"id": "portal-id", "internalipaddress": "{address}", "macaddress": "02:00:aa:aa:bb:cc"},
                 {"id": "an-id-of-twenty-char", "internalipaddress": "10.0.0.3", "macaddress": "m"}],
      "description": {"friendlyName": "Living hue bridge", "manufacturer": "A Philips maker",
                      "serialNumber": "caf\u00e9", "presentationURL": "http://{address}/"}})",
                    true, {{"Hall", "hall", "127.0.0.1", 443, "mdns-https", ""}});
    const auto result = run_plain({"bridges"}, m_env);
    EXPECT_EQ(expand("\nLocal Bridges\n\n"
                     "Id                  IP Address     \tMAC Address\n"
                     "an-id-of-twenty-char10.0.0.3\tm\n"
                     "caf\xc3\xa9                {address}\t\n"
                     "mdns-https          https://127.0.0.1\t\n"
                     "portal-id           {address}\t02:00:aa:aa:bb:cc\n"),
              result.output);
    EXPECT_EQ(0, result.status);

    // The JSON printout holds the same bridges, the address also split.
    const auto json = run_plain({"bridges", "--json"}, m_env);
    const Json::Value document = Json::parse(json.output);
    const auto& list = Json::as_array(Json::at(document, "bridges"));
    ASSERT_EQ(4u, list.size());
    EXPECT_EQ("10.0.0.3", Json::as_string(Json::at(list[0], "ip")));
    EXPECT_EQ("caf\xc3\xa9", Json::as_string(Json::at(list[1], "id")));
    EXPECT_EQ(address(), Json::as_string(Json::at(list[1], "address")));
    EXPECT_EQ(port(), Json::as_int(Json::at(list[1], "port")));
    EXPECT_EQ("https://127.0.0.1", Json::as_string(Json::at(list[2], "address")));
    EXPECT_TRUE(Json::at(list[2], "mac").is_null());
    EXPECT_EQ("portal-id", Json::as_string(Json::at(list[3], "id")));
    EXPECT_EQ("02:00:aa:aa:bb:cc", Json::as_string(Json::at(list[3], "mac")));
    EXPECT_EQ(0, json.status);
}

TEST_F(DiscoveryTest, BridgesCommandWithNothingAnsweringEndsAfterTheWindow) {
    start_discovery(R"({"portal":[]})", false);
    const auto started = std::chrono::steady_clock::now();
    const auto result = run_plain({"bridges"}, m_env);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ("\nLocal Bridges\n\nId                  IP Address     \tMAC Address\n",
              result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_LT(took, std::chrono::milliseconds(300 + 1000));
}

TEST_F(DiscoveryTest, ARememberedBridgeIsAskedBeforeAnySearch) {
    // The simulator's bridge, listed by the portal; 127.0.0.1:9 refuses connections.
    const std::string fixture = R"({
      "portal": [{"id": "0200AAFFFE0A1B2C", "internalipaddress": "{address}"}],
      "state": {"config": {"name": "Hall", "bridgeid": "0200AAFFFE0A1B2C", "whitelist": {}},
                "lights": {}, "groups": {}, "schedules": {}, "scenes": {}, "sensors": {},
                "rules": {}}})";
    const std::string here =
        R"({"id":"0200aafffe0a1b2c","address":"{address}","username":"{user}"})";
    const std::string away =
        R"({"id":"0200aafffe0a1b2c","address":"127.0.0.1:9","username":"{user}"})";
    const std::string other =
        R"({"id":"0200AAFFFE000001","address":"{address}","username":"{user}"})";
    const std::string unnamed = R"({"address":"127.0.0.1:9","username":"{user}"})";
    const struct {
        const char* what;
        std::string entries;  // the credentials file's list
        bool listed;          // the portal lists the bridge
        std::vector<std::string> args;
        int status;
        bool searched;
        const char* address;  // the first entry's address afterwards
    } cases[] = {
        {"answering", "[" + here + "]", true, {"lights"}, 0, false, "{address}"},
        {"answering, named",
         "[" + here + "]",
         true,
         {"lights", "--bridge=0200AAFFFE0A1B2C"},
         0,
         false,
         "{address}"},
        {"answering beside an entry without id",
         "[" + unnamed + "," + here + "]",
         true,
         {"lights"},
         0,
         false,
         "127.0.0.1:9"},
        {"moved", "[" + away + "]", true, {"lights"}, 0, true, "{address}"},
        {"moved, named",
         "[" + away + "]",
         true,
         {"lights", "--bridge=0200aafffe0a1b2c"},
         0,
         true,
         "{address}"},
        {"gone", "[" + away + "]", false, {"lights"}, 1, true, "127.0.0.1:9"},
        {"gone, named",
         "[" + away + "]",
         false,
         {"lights", "--bridge=0200aafffe0a1b2c"},
         1,
         true,
         "127.0.0.1:9"},
        {"another bridge answers there", "[" + other + "]", true, {"lights"}, 0, true, "{address}"},
        {"two remembered", "[" + here + "," + other + "]", true, {"lights"}, 0, true, "{address}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        start_discovery(c.listed ? fixture : R"({"portal": []})", true);
        m_responder->set_replies({});  // counts the searches, answers none
        const TestingSupport::TemporaryDirectory home;
        std::filesystem::create_directories(home.path() + "/glowrig");
        const std::string file = home.path() + "/glowrig/bridges.json";
        std::ofstream(file) << expand(R"({"bridges":)" + c.entries + "}");
        TestingSupport::Environment env = m_env;
        env["XDG_CONFIG_HOME"] = home.path();
        // Only the portal finds the bridge here, and it is given until a
        // second after the window: a short window keeps the searches short.
        env["GLOWRIG_SSDP_WINDOW_MS"] = "100";

        const auto result = run_plain(c.args, env);
        EXPECT_EQ(c.status, result.status) << result.output << result.errors;
        if (c.status != 0) {
            EXPECT_EQ("\nNo bridges found.\n", result.output);
        }
        const auto requests = request_lines();
        const bool portal = std::count(requests.begin(), requests.end(), "GET /api/nupnp") > 0;
        EXPECT_EQ(c.searched, portal);
        EXPECT_EQ(c.searched, m_responder->searches() > 0);
        EXPECT_EQ(c.searched, m_mdns->queries() > 0);
        std::ifstream in(file);
        std::ostringstream text;
        text << in.rdbuf();
        const Json::Value file_content = Json::parse(text.str());
        const auto& entry = Json::at(Json::at(file_content, "bridges"), std::size_t{0});
        EXPECT_EQ(expand(c.address), Json::as_string(Json::at(entry, "address")));
        EXPECT_EQ(user(), Json::as_string(Json::at(entry, "username")));
        if (c.status != 0) continue;

        // Where the bridge answered, the next run needs no search.
        bridge().clear_requests();
        const std::size_t searches = m_responder->searches();
        EXPECT_EQ(0, run_plain(c.args, env).status);
        EXPECT_EQ(c.entries.find("0200AAFFFE000001") == std::string::npos,
                  searches == m_responder->searches());
    }
}

}  // namespace
}  // namespace Discovery
