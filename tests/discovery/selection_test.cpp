#include "discovery/selection.hpp"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include <cpprest/json.h>
#include <gtest/gtest.h>

#include "discovery/portal.hpp"
#include "hue/text.hpp"
#include "sim/ssdp_responder.hpp"
#include "support/sim_fixture.hpp"

namespace discovery {
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

class DiscoveryTest : public testing_support::SimFixture {
protected:
    void TearDown() override {
        m_responder.reset();
        SimFixture::TearDown();
    }

    // Starts the bridge; `ssdp` makes it answer the SSDP search too. Both
    // sources are aimed at it, in m_settings and in m_env for glowrig runs.
    void start_discovery(const std::string& fixture, bool ssdp) {
        start(fixture);
        std::string ssdp_target = "127.0.0.9:9";
        if (ssdp) {
            m_responder = std::make_unique<sim::SsdpResponder>(
                "http://" + address() + "/description.xml", ip());
            m_responder->start();
            ssdp_target = m_responder->endpoint();
        }
        m_env = {{"GLOWRIG_PORTAL", address()},
                 {"GLOWRIG_SSDP", ssdp_target},
                 {"GLOWRIG_SSDP_WINDOW_MS", "300"}};
        m_settings = Settings();
        m_settings.portal = address();
        m_settings.ssdp.address = ssdp_target.substr(0, ssdp_target.rfind(':'));
        m_settings.ssdp.port =
            static_cast<unsigned short>(std::stoi(ssdp_target.substr(ssdp_target.rfind(':') + 1)));
        m_settings.ssdp.window = std::chrono::milliseconds(300);
    }

    static std::string failure_of(const pplx::task<Hue::Bridge>& task) {
        try {
            task.get();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no failure";
    }

    Settings m_settings;
    testing_support::Environment m_env;
    std::unique_ptr<sim::SsdpResponder> m_responder;
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
            try {
                find_portal_bridges(m_settings).get();
                ADD_FAILURE() << "no failure";
            } catch (const std::exception& e) {
                EXPECT_EQ(c.failure, std::string(e.what()));
            }
            continue;
        }
        const Bridges bridges = find_portal_bridges(m_settings).get();
        ASSERT_EQ(c.count, bridges.size());
        if (c.count == 2) {
            EXPECT_EQ("a", bridges[0].id());
            EXPECT_EQ("10.0.0.2", bridges[0].ip());
            EXPECT_EQ("m1", bridges[0].mac());
            EXPECT_EQ("b", bridges[1].id());
        }
    }
    EXPECT_EQ("GET /api/nupnp", request_lines().back());
}

TEST_F(DiscoveryTest, AnAddressNeedsNoDiscovery) {
    start_discovery(kOneBridge, false);
    for (const char* address : {"192.0.2.10", "::1"}) {
        const Hue::Bridge bridge = select_bridge(std::string(address), m_settings).get();
        EXPECT_EQ(address, bridge.ip());
        EXPECT_EQ("", bridge.id());
        EXPECT_EQ("", bridge.mac());
    }
    EXPECT_TRUE(request_lines().empty());
}

TEST_F(DiscoveryTest, SelectsByIdExactlyOrTheOnlyBridge) {
    start_discovery(kOneBridge, false);
    EXPECT_EQ("portal-id", select_bridge(std::nullopt, m_settings).get().id());
    EXPECT_EQ("portal-id", select_bridge(std::string("portal-id"), m_settings).get().id());
    EXPECT_EQ("Invalid bridge identifier.",
              failure_of(select_bridge(std::string("PORTAL-ID"), m_settings)));
    EXPECT_EQ("Invalid bridge identifier.",
              failure_of(select_bridge(std::string("bridge.local"), m_settings)));
}

TEST_F(DiscoveryTest, OneBridgeFoundTwiceAtOneAddressIsThePortalEntry) {
    start_discovery(kOneBridge, true);
    const Bridges bridges = find_bridges(m_settings).get();
    ASSERT_EQ(2u, bridges.size());
    EXPECT_EQ("upnp-serial", bridges[1].id());
    EXPECT_EQ(ip(), bridges[1].ip());
    EXPECT_EQ("", bridges[1].mac());
    const Hue::Bridge chosen = select_bridge(std::nullopt, m_settings).get();
    EXPECT_EQ("portal-id", chosen.id());
    EXPECT_EQ("02:00:aa:aa:bb:cc", chosen.mac());
    EXPECT_EQ("upnp-serial", select_bridge(std::string("upnp-serial"), m_settings).get().id());
}

TEST_F(DiscoveryTest, NoBridgeOrSeveralBridgesFailTheSelection) {
    start_discovery(R"({"portal":[]})", false);
    EXPECT_EQ("No bridges found.", failure_of(select_bridge(std::nullopt, m_settings)));
    start_discovery(R"({"portal":[{"id":"a","internalipaddress":"10.0.0.2","macaddress":""},
                                  {"id":"b","internalipaddress":"10.0.0.3","macaddress":""}]})",
                    false);
    EXPECT_EQ("Unable to identify bridge.", failure_of(select_bridge(std::nullopt, m_settings)));
    EXPECT_EQ("10.0.0.3", select_bridge(std::string("b"), m_settings).get().ip());
}

TEST_F(DiscoveryTest, CommandsReportAFailedSelection) {
    const char kTwoBridges[] = R"({"portal":[
        {"id":"a","internalipaddress":"10.0.0.2","macaddress":""},
        {"id":"b","internalipaddress":"10.0.0.3","macaddress":""}]})";
    const struct {
        const char* fixture;
        std::vector<std::string> args;
        const char* output;
        const char* errors = "";
    } cases[] = {
        {kTwoBridges,
         {"groups"},
         "\nMultiple bridges found, please specify desired bridge with --bridge=<Ip||Id>\n"
         "Unable to identify bridge.\n"},
        {kTwoBridges, {"groups", "--json"}, "", "Unable to identify bridge.\n"},
        {kTwoBridges, {"state", "--bridge=c"}, "\nInvalid bridge identifier.\n"},
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
    sim::Fault down;
    down.status = 503;
    bridge().set_fault("GET", "/api/nupnp", down);
    const Bridges bridges = find_bridges(m_settings).get();
    ASSERT_EQ(1u, bridges.size());
    EXPECT_EQ("upnp-serial", bridges[0].id());

    // Both sources failing report the portal's failure.
    m_settings.ssdp.address = "not an address";
    try {
        find_bridges(m_settings).get();
        FAIL() << "no failure";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string("HTTP 503 Service Unavailable"), e.what());
    }
}

TEST_F(DiscoveryTest, BridgesCommandPrintsTheTable) {
    start_discovery(R"({
      "portal": [{"id": "portal-id", "internalipaddress": "{address}", "macaddress": "02:00:aa:aa:bb:cc"},
                 {"id": "an-id-of-twenty-char", "internalipaddress": "10.0.0.3", "macaddress": "m"}],
      "description": {"friendlyName": "Living hue bridge", "manufacturer": "A Philips maker",
                      "serialNumber": "caf\u00e9", "presentationURL": "http://{address}/"}})",
                    true);
    const auto result = run_plain({"bridges", "--bridge=10.0.0.7"}, m_env);
    EXPECT_EQ(expand("\nLocal Bridges\n\n"
                     "Id                  IP Address     \tMAC Address\n"
                     "portal-id           {address}\t02:00:aa:aa:bb:cc\n"
                     "an-id-of-twenty-char10.0.0.3\tm\n"
                     "caf\xc3\xa9                {address}\t\n"),
              result.output);
    EXPECT_EQ(0, result.status);

    // The JSON printout holds the same bridges, the address also split.
    const auto json = run_plain({"bridges", "--bridge=10.0.0.7", "--json"}, m_env);
    const auto list = web::json::value::parse(json.output).at("bridges").as_array();
    ASSERT_EQ(3u, list.size());
    EXPECT_EQ("portal-id", list.at(0).at("id").as_string());
    EXPECT_EQ("02:00:aa:aa:bb:cc", list.at(0).at("mac").as_string());
    EXPECT_EQ("10.0.0.3", list.at(1).at("ip").as_string());
    EXPECT_EQ("caf\xc3\xa9", list.at(2).at("id").as_string());
    EXPECT_EQ(address(), list.at(2).at("address").as_string());
    EXPECT_EQ(port(), list.at(2).at("port").as_integer());
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

}  // namespace
}  // namespace discovery
