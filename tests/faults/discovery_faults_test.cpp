// Broken discovery: SSDP replies and device descriptions that lead nowhere,
// mDNS answers that cannot be read, and portal replies that cannot be read.
// Discovery is aimed at loopback only: the portal is the simulated bridge, the
// SSDP and mDNS searches go to responders on 127.0.0.1 and the descriptions
// come from a server on 127.0.0.1.
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "discovery/mdns_message.hpp"
#include "discovery/test_http_server.hpp"
#include "faults/fault_table.hpp"
#include "sim/mdns_responder.hpp"
#include "sim/sim_bridge.hpp"
#include "sim/ssdp_responder.hpp"
#include "support/sim_fixture.hpp"

namespace Faults {
namespace {

using TestingSupport::RunResult;

// Served in place of a description that never comes.
constexpr const char* kHang = "(hang)";

// A description of a bridge (as the UPnP filter recognises one) with `extra`
// elements inside its device element.
std::string bridge_description(const std::string& extra) {
    return "<?xml version=\"1.0\"?><root xmlns=\"urn:schemas-upnp-org:device-1-0\"><device>"
           "<friendlyName>Hall hue bridge</friendlyName>"
           "<manufacturer>A Philips maker</manufacturer>" +
           extra + "</device></root>";
}

// A search address nothing can be sent to: the loopback's broadcast address,
// which every loopback has and which refuses a socket that has not asked to
// broadcast, whatever other network there is. The SSDP and mDNS searches fail
// as they start, and nothing leaves the machine.
const char kUnsendable[] = "127.255.255.255:1900";

// What glowrig prints when no source was asked but the searches, and neither
// could be sent to kUnsendable.
constexpr const char* kUnsendableOutput =
    "Error: cannot send the SSDP search to 127.255.255.255:1900: permission denied.\n";

// The mDNS answer for one bridge at `address` and `port`, with `id` as its
// "bridgeid" (none when empty).
std::string mdns_answer(const std::string& address, unsigned short port, const std::string& id) {
    return Sim::mdns_answer(Discovery::mdns_query(0), {{"Hall", "hall", address, port, id, ""}});
}

struct DiscoveryCase {
    const char* what;
    std::vector<std::string> args;
    const char* fault_text;
    // SSDP replies; "{url}" becomes the description's URL and "{authority}"
    // its "127.0.0.1:port".
    std::vector<std::string> datagrams;
    std::string description;  // served at /description.xml; kHang: never answered
    std::optional<Sim::Fault> portal;
    std::string ssdp;  // GLOWRIG_SSDP (and GLOWRIG_MDNS) when not empty
    const char* output;
    std::size_t fetches;                 // requests for the description
    std::vector<std::string> mdns = {};  // mDNS answers (their ids made the query's)
    bool portal_asked = true;            // GLOWRIG_PORTAL names the simulated bridge (else none)
};

std::vector<DiscoveryCase> discovery_cases() {
    const std::string reply = Sim::ssdp_reply("{url}", "uuid:1::upnp:rootdevice");
    const std::string answer = mdns_answer("127.0.0.1", 80, "0200aafffe0a1b2c");
    return {
        {"SSDP reply is not HTTP",
         {"lights"},
         "the search is answered with `hello`",
         {"hello"},
         "",
         std::nullopt,
         "",
         "No bridges found.\n",
         0},
        {"SSDP reply without LOCATION",
         {"lights"},
         "the search is answered with a 200 reply lacking LOCATION",
         {"HTTP/1.1 200 OK\r\nST: upnp:rootdevice\r\nUSN: uuid:1\r\n\r\n"},
         "",
         std::nullopt,
         "",
         "No bridges found.\n",
         0},
        {"SSDP LOCATION with another scheme",
         {"lights"},
         "LOCATION is `ftp://127.0.0.1:PORT/description.xml` or `file:///etc/passwd`",
         {Sim::ssdp_reply("ftp://{authority}/description.xml", "uuid:1"),
          Sim::ssdp_reply("file:///etc/passwd", "uuid:2")},
         bridge_description("<presentationURL>http://127.0.0.1/</presentationURL>"),
         std::nullopt,
         "",
         "No bridges found.\n",
         0},
        {"SSDP LOCATION at a host name",
         {"lights"},
         "LOCATION is `http://bridge.invalid/description.xml` (never looked up)",
         {Sim::ssdp_reply("http://bridge.invalid/description.xml", "uuid:1")},
         "",
         std::nullopt,
         "",
         "No bridges found.\n",
         0},
        {"SSDP LOCATION where nothing listens",
         {"lights"},
         "LOCATION is `http://127.0.0.9:9/description.xml`",
         {Sim::ssdp_reply("http://127.0.0.9:9/description.xml", "uuid:1")},
         "",
         std::nullopt,
         "",
         "No bridges found.\n",
         0},
        {"Description is not XML",
         {"lights"},
         "the description is `not xml`",
         {reply},
         "not xml",
         std::nullopt,
         "",
         "No bridges found.\n",
         1},
        {"Description is huge",
         {"lights"},
         "the description is a bridge's, padded to 1 MiB",
         {reply},
         bridge_description("<presentationURL>http://127.0.0.1/</presentationURL>" +
                            std::string(1u << 20, ' ')),
         std::nullopt,
         "",
         "No bridges found.\n",
         1},
        {"Description lacks the device element",
         {"lights"},
         "the description is `<root/>`",
         {reply},
         "<root/>",
         std::nullopt,
         "",
         "No bridges found.\n",
         1},
        {"Description lacks the bridge's fields",
         {"lights"},
         "the description has a device with a friendly name only",
         {reply},
         "<root><device><friendlyName>Hall hue bridge</friendlyName></device></root>",
         std::nullopt,
         "",
         "No bridges found.\n",
         1},
        {"Description of a bridge lacks its address",
         {"lights"},
         "the bridge's description has no presentationURL",
         {reply},
         bridge_description(""),
         std::nullopt,
         "",
         "No bridges found.\n",
         1},
        {"Description never comes",
         {"lights"},
         "the description server never answers (until the fetch time-out)",
         {reply},
         kHang,
         std::nullopt,
         "",
         "No bridges found.\n",
         1},
        {"Portal reply is not JSON",
         {"lights"},
         "the portal answers `<html>`; nothing answers the search",
         {},
         "",
         Sim::Fault{200, "", std::string("<html>"), 0},
         "",
         "No bridges found.\n",
         0},
        {"Portal reply is not JSON and the search fails",
         {"bridges"},
         "the portal answers `<html>`; the searches cannot start",
         {},
         "",
         Sim::Fault{200, "", std::string("<html>"), 0},
         kUnsendable,
         "Error: the portal's reply is not JSON (line 1, column 1).\n",
         0},
        {"Portal answers 500 and the search fails",
         {"config"},
         "the portal answers 500; the searches cannot start",
         {},
         "",
         Sim::Fault{500, "", std::nullopt, 0},
         kUnsendable,
         "HTTP 500 Internal Error\n",
         0},
        {"Portal entry lacks its address",
         {"bridges"},
         R"(the portal answers `[{"id":"a","macaddress":"m"}]`; the searches cannot start)",
         {},
         "",
         Sim::Fault{200, "", std::string(R"([{"id":"a","macaddress":"m"}])"), 0},
         kUnsendable,
         "Key not found\n",
         0},
        {"Portal address is not an address",
         {"lights"},
         R"(the portal reports `"internalipaddress":"127.0.0.9/x?"`)",
         {},
         "",
         Sim::Fault{
             200, "",
             std::string(R"([{"id":"a","internalipaddress":"127.0.0.9/x?","macaddress":"m"}])"), 0},
         "",
         "No bridges found.\n",
         0},
        {"Portal address is a host name",
         {"lights"},
         R"(the portal reports `"internalipaddress":"bridge.invalid:80"` (never looked up))",
         {},
         "",
         Sim::Fault{200, "",
                    std::string(
                        R"([{"id":"a","internalipaddress":"bridge.invalid:80","macaddress":"m"}])"),
                    0},
         "",
         "No bridges found.\n",
         0},
        {"Presentation URL at a host name",
         {"lights"},
         "the bridge's description has `<presentationURL>http://localhost/` (never looked up)",
         {reply},
         bridge_description("<presentationURL>http://localhost/</presentationURL>"),
         std::nullopt,
         "",
         "No bridges found.\n",
         1},
        {"mDNS answer is not DNS",
         {"lights"},
         "the mDNS query is answered with `hello`",
         {},
         "",
         std::nullopt,
         "",
         "No bridges found.\n",
         0,
         {"hello"}},
        {"mDNS answer is cut short",
         {"lights"},
         "a bridge's mDNS answer lacks its last 3 bytes",
         {},
         "",
         std::nullopt,
         "",
         "No bridges found.\n",
         0,
         {answer.substr(0, answer.size() - 3)}},
        {"mDNS answer with a pointer loop",
         {"lights"},
         "the mDNS answer's first name is a compression pointer to itself",
         {},
         "",
         std::nullopt,
         "",
         "No bridges found.\n",
         0,
         {std::string{0, 0, '\x84', 0, 0, 0, 0, 1, 0, 0, 0, 0, '\xc0', '\x0c', 0, 12, 0, 1}}},
        {"mDNS answer is too large",
         {"lights"},
         "a bridge's mDNS answer padded to more than 9000 bytes",
         {},
         "",
         std::nullopt,
         "",
         "No bridges found.\n",
         0,
         {answer + std::string(Discovery::kMdnsMessageLimit, '\0')}},
        {"mDNS answer without an id",
         {"lights"},
         "the mDNS answer has no `bridgeid` and nothing answers at its address",
         {},
         "",
         std::nullopt,
         "",
         "No bridges found.\n",
         0,
         {mdns_answer("127.0.0.9", 9, "")}},
        {"Searches cannot be sent",
         {"lights"},
         "no portal is set; neither search can be sent (`GLOWRIG_SSDP` and `GLOWRIG_MDNS` "
         "name the broadcast address)",
         {},
         "",
         std::nullopt,
         kUnsendable,
         kUnsendableOutput,
         0,
         {},
         false},
        {"Searches cannot be sent, bridges listed",
         {"bridges"},
         "no portal is set; neither search can be sent",
         {},
         "",
         std::nullopt,
         kUnsendable,
         kUnsendableOutput,
         0,
         {},
         false},
    };
}

class DiscoveryFaults : public TestingSupport::SimFixture {
protected:
    // Starts a bridge whose portal answers [] (or `c.portal`), serves the
    // description, answers the search with the case's datagrams and runs glowrig.
    RunResult run_case(const DiscoveryCase& c, const std::string& fixture, std::size_t* fetches) {
        start(fixture);
        if (c.portal) bridge().set_fault("GET", "/api/nupnp", *c.portal);
        UPnP::TestSupport::TestHttpServer server;
        if (c.description == kHang) {
            server.hang("/description.xml");
        } else if (!c.description.empty()) {
            server.serve("/description.xml", expand(c.description));
        }
        const std::string url = server.url("/description.xml");
        const std::string authority = url.substr(7, url.find('/', 7) - 7);
        std::vector<std::string> datagrams;
        for (std::string d : c.datagrams) {
            for (const auto& [from, to] :
                 {std::pair<std::string, std::string>{"{url}", url}, {"{authority}", authority}}) {
                for (auto at = d.find(from); at != std::string::npos; at = d.find(from)) {
                    d.replace(at, from.size(), to);
                }
            }
            datagrams.push_back(d);
        }
        Sim::SsdpResponder responder("http://127.0.0.1/unused.xml");
        responder.set_replies(datagrams);
        responder.start();
        Sim::MdnsResponder mdns({});
        mdns.set_replies(c.mdns);
        mdns.start();
        const RunResult result =
            run_plain(c.args, {{"GLOWRIG_PORTAL", c.portal_asked ? address() : ""},
                               {"GLOWRIG_SSDP", c.ssdp.empty() ? responder.endpoint() : c.ssdp},
                               {"GLOWRIG_MDNS", c.ssdp.empty() ? mdns.endpoint() : c.ssdp},
                               {"GLOWRIG_SSDP_WINDOW_MS", "200"},
                               {"GLOWRIG_TIMEOUT_MS", "1000"}});
        *fetches = server.requests("/description.xml");
        return result;
    }

    // Runs the cases whose name starts with "SSDP" or "Description" when
    // `search` is set, the others otherwise: each half runs in a test of its
    // own, so that neither takes long.
    void expect_no_bridge(bool search) {
        for (const auto& c : discovery_cases()) {
            const std::string what = c.what;
            if ((what.rfind("SSDP", 0) == 0 || what.rfind("Description", 0) == 0) != search) {
                continue;
            }
            SCOPED_TRACE(c.what);
            std::size_t fetches = 0;
            const auto started = std::chrono::steady_clock::now();
            const RunResult result = run_case(c, R"({"portal": []})", &fetches);
            EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
            expect_run(result, expand(c.output), 1);
            EXPECT_EQ(c.portal_asked ? std::vector<std::string>{"GET /api/nupnp"}
                                     : std::vector<std::string>{},
                      request_lines());
            EXPECT_EQ(c.fetches, fetches);
        }
    }
};

TEST_F(DiscoveryFaults, BrokenSearchRepliesAndDescriptionsYieldNoBridge) { expect_no_bridge(true); }

TEST_F(DiscoveryFaults, BrokenPortalAndMdnsRepliesYieldNoBridge) { expect_no_bridge(false); }

// The control for the cases above: the same set-up with a sound description
// finds the bridge and runs the command.
TEST_F(DiscoveryFaults, ASoundDescriptionFindsTheBridge) {
    const DiscoveryCase sound{
        "",
        {"lights"},
        "",
        {Sim::ssdp_reply("{url}", "uuid:1::upnp:rootdevice")},
        bridge_description("<presentationURL>http://{address}/</presentationURL>"),
        std::nullopt,
        "",
        "",
        1};
    std::size_t fetches = 0;
    const RunResult result =
        run_case(sound, R"({"portal": [], "state": {"lights": {}}})", &fetches);
    expect_run(result, "Lights:\n", 0);
    EXPECT_EQ(1u, fetches);
    EXPECT_EQ(expand("GET /api/{user}/lights"), request_lines().back());
}

// The control for the mDNS cases: a sound answer naming the bridge finds it.
// A bridge announces its HTTPS port, whatever its number.
TEST_F(DiscoveryFaults, ASoundMdnsAnswerFindsTheBridge) {
    serve_tls();
    start(R"({"portal": [], "state": {"config": {"bridgeid": "0200AAFFFE0A1B2C"}, "lights": {}}})");
    Sim::MdnsResponder mdns({{"Hall", "hall", ip(), port(), "0200aafffe0a1b2c", ""}});
    mdns.start();
    const RunResult result = run_plain({"lights"}, {{"GLOWRIG_PORTAL", ""},
                                                    {"GLOWRIG_MDNS", mdns.endpoint()},
                                                    {"GLOWRIG_SSDP_WINDOW_MS", "200"}});
    expect_run(result, "Lights:\n", 0);
    EXPECT_EQ(expand("GET /api/{user}/lights"), request_lines().back());
}

// What glowrig prints where no interface but the loopback is up.
constexpr const char* kNoNetworkOutput =
    "Error: cannot send the SSDP search to 239.255.255.250:1900: network is unreachable.\n";

// On a machine whose only interface is the loopback, no search can be sent
// and discovery fails with the cause, for `bridges` as for the other
// commands. glowrig runs with the default search addresses in a network
// namespace of its own, which nothing sent leaves; the test is skipped where
// no namespace can be made.
TEST(DiscoveryWithoutNetwork, FailsWithTheCauseWhenNoSearchCanBeSent) {
    const std::string unshare = "/usr/bin/unshare";
    std::string isolate;  // the option that gives the run a network namespace of its own
    for (const char* option : {"-n", "-rn"}) {
        if (TestingSupport::run_program(unshare, {option, "true"}, {}, 10).status == 0) {
            isolate = option;
            break;
        }
    }
    if (isolate.empty()) GTEST_SKIP() << "no network namespace can be made here";
    for (const std::string command : {"bridges", "lights"}) {
        SCOPED_TRACE(command);
        const TestingSupport::TemporaryDirectory config_home;
        const RunResult result =
            TestingSupport::run_program(unshare,
                                        {isolate, "env", "-u", "GLOWRIG_SSDP", "-u", "GLOWRIG_MDNS",
                                         "-u", "GLOWRIG_PORTAL", GLOWRIG_BINARY, command},
                                        {{"XDG_CONFIG_HOME", config_home.path()}}, 60);
        expect_run(result, kNoNetworkOutput, 1);
    }
}

}  // namespace

std::vector<FaultRow> discovery_fault_rows() {
    std::vector<FaultRow> rows;
    for (const auto& c : discovery_cases()) {
        rows.push_back({c.what, command_text(c.args) + ", " + c.fault_text, c.output, 1});
    }
    rows.push_back({"No network interface but the loopback",
                    command_text({"bridges"}) +
                        " on a machine whose only interface is the loopback; no portal is set",
                    kNoNetworkOutput, 1});
    rows.push_back({"Portal never answers",
                    command_text({"lights"}) +
                        ", the portal never answers (given up a second after the "
                        "search window); nothing answers the search",
                    kHungPortalOutput, 1});
    return rows;
}

}  // namespace Faults
