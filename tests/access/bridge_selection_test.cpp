#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "commands/bridges.hpp"
#include "json/parse.hpp"
#include "json/text.hpp"
#include "sim/certificate.hpp"
#include "sim/mdns_responder.hpp"
#include "sim/server.hpp"
#include "sim/ssdp_responder.hpp"
#include "support/process.hpp"
#include "support/sim_fixture.hpp"

namespace {

using TestingSupport::RunResult;
using TestingSupport::TemporaryDirectory;

constexpr const char* kId = "ECB5FAFFFE0A62C3";
constexpr const char* kCertificateName = "ecb5fafffe0a62c3";

const char kBridge[] = R"({"linkbutton": true, "state": {
    "config": {"name": "Hall", "bridgeid": "ECB5FAFFFE0A62C3", "mac": "ec:b5:fa:0a:62:c3",
               "whitelist": {}},
    "lights": {"3": {"name": "Desk", "state": {"on": false, "bri": 1, "alert": "none",
                                                "reachable": true}}},
    "groups": {}, "schedules": {}, "scenes": {}, "sensors": {}, "rules": {}}})";

// A bridge served over TLS, not yet authorised, with a plain port that
// redirects, and a credentials file of the test's own.
class BridgeOverTls : public TestingSupport::SimFixture {
protected:
    void SetUp() override {
        serve_tls();
        start(kBridge, /*whitelisted=*/false);
    }
    RunResult run_here(const std::vector<std::string>& args) {
        return run(args, {{"XDG_CONFIG_HOME", m_home.path()}});
    }
    RunResult run_plain_here(const std::vector<std::string>& args) {
        return run_plain(args, {{"XDG_CONFIG_HOME", m_home.path()}});
    }
    std::string file() const { return m_home.path() + "/glowrig/bridges.json"; }
    Json::Value entries() const {
        std::ifstream in(file());
        std::ostringstream text;
        text << in.rdbuf();
        return Json::at(Json::parse(text.str()), "bridges");
    }
    // The text `key` of entry `index` of the file.
    std::string member(std::size_t index, const char* key) const {
        return Json::as_string(Json::at(Json::at(entries(), index), key));
    }
    void write_file(const std::string& text) {
        std::filesystem::create_directories(m_home.path() + "/glowrig");
        std::ofstream(file()) << text;
    }
    // The distinct connections the bridge's requests came on.
    std::size_t connections() {
        std::set<int> numbers;
        for (const auto& r : bridge().requests()) numbers.insert(r.connection);
        return numbers.size();
    }
    // True when a request the bridge received carries the user name `name`.
    bool received_user(const std::string& name) {
        for (const auto& line : request_lines()) {
            if (line.find("/api/" + name) != std::string::npos) return true;
        }
        return false;
    }
    TemporaryDirectory m_home;
};

TEST_F(BridgeOverTls, AuthPinsTheCertificateAndLaterRunsUseOneConnection) {
    const RunResult auth = run_here({"config", "--auth"});
    ASSERT_EQ(0, auth.status) << auth.output;
    ASSERT_EQ(1u, entries().size());
    const Json::Value entry = Json::at(entries(), 0);
    EXPECT_EQ(kId, Json::as_string(Json::at(entry, "id")));
    EXPECT_EQ("https://" + address(), Json::as_string(Json::at(entry, "address")));
    EXPECT_EQ(fingerprint(), Json::as_string(Json::at(entry, "sha256")));
    const std::string granted = Json::as_string(Json::at(entry, "username"));

    bridge().clear_requests();
    const RunResult light = run_here({"light", "--id=3", "--bri=200"});
    EXPECT_EQ(0, light.status) << light.output;
    EXPECT_EQ(3u, bridge().requests().size());  // listing, change, read back
    EXPECT_EQ(1u, connections());
    EXPECT_TRUE(received_user(granted));
}

TEST_F(BridgeOverTls, ABridgeWithAnotherCertificateIsRefusedBeforeTheUserNameIsSent) {
    ASSERT_EQ(0, run_here({"config", "--auth"}).status);
    const std::string pinned = fingerprint();
    renew_certificate();
    bridge().clear_requests();
    const RunResult refused = run_here({"lights"});
    EXPECT_EQ(1, refused.status);
    EXPECT_EQ("\nError: bridge " + std::string(kCertificateName) + " shows the certificate " +
                  fingerprint() + ", not the pinned " + pinned +
                  "; if it was reset or replaced, run 'glowrig config --auth' to trust the new "
                  "one.\n",
              refused.output);
    EXPECT_TRUE(bridge().requests().empty());

    // Authorising again pins the new certificate.
    ASSERT_EQ(0, run_here({"config", "--auth"}).status);
    EXPECT_EQ(fingerprint(), member(0, "sha256"));
    EXPECT_EQ(0, run_here({"lights"}).status);
}

TEST_F(BridgeOverTls, ACertificateNamingAnotherBridgeIsRefused) {
    struct Case {
        const char* what;
        const char* file;  // credentials file written first; empty: none
        const char* output;
        std::vector<std::string> requests;
    } cases[] = {
        {"first contact: the configuration names the id",
         "",
         "\nError: the certificate of the bridge at https://{address} names '0000000000000001', "
         "not its id ecb5fafffe0a62c3.\n",
         {"GET /api/config"}},
        {"the id is known from the file",
         R"({"bridges":[{"id":"ECB5FAFFFE0A62C3","address":"{address}","username":"kept"}]})",
         "\nError: the certificate of bridge ecb5fafffe0a62c3 names '0000000000000001'.\n",
         {}},
    };
    renew_certificate("0000000000000001");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(m_home.path() + "/glowrig");
        if (*c.file) write_file(expand(c.file));
        bridge().clear_requests();
        const RunResult result = run_here({"lights"});
        EXPECT_EQ(1, result.status);
        EXPECT_EQ(expand(c.output), result.output);
        EXPECT_EQ(c.requests, request_lines());
    }
}

TEST_F(BridgeOverTls, ANamedAuthorityMustHaveIssuedTheCertificate) {
    struct Case {
        const char* what;
        std::string pem;  // the authorities' file; empty: none is written
        int status;
        const char* output;  // nullptr: not checked
    } cases[] = {
        {"the bridge's own certificate", certificate_pem(), 0, nullptr},
        {"another authority", Sim::make_certificate("authority").certificate_pem, 1,
         "\nError: the TLS handshake with {address} failed: self-signed certificate.\n"},
        {"no such file", "", 1,
         "\nError: cannot read the certificate authorities in {home}/authorities.pem.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string authorities = m_home.path() + "/authorities.pem";
        std::filesystem::remove(authorities);
        if (!c.pem.empty()) std::ofstream(authorities) << c.pem;
        bridge().clear_requests();
        const RunResult result =
            run({"config"}, {{"XDG_CONFIG_HOME", m_home.path()}, {"GLOWRIG_CA_FILE", authorities}});
        EXPECT_EQ(c.status, result.status) << result.output;
        if (c.output) {
            std::string expected = expand(c.output);
            const auto home = expected.find("{home}");
            if (home != std::string::npos) expected.replace(home, 6, m_home.path());
            EXPECT_EQ(expected, result.output);
            EXPECT_TRUE(bridge().requests().empty());
        }
    }
}

TEST_F(BridgeOverTls, APlainRequestRedirectedToHttpsNamesTheAddressToUse) {
    const RunResult result = run_plain_here(
        {"lights", "--bridge=http://" + ip() + ":" + std::to_string(redirect_port())});
    EXPECT_EQ(1, result.status);
    EXPECT_EQ(
        "\nError: the bridge answers only over HTTPS: use --bridge=https://" + address() + ".\n",
        result.output);
}

// A bare address means HTTPS on 443, and plain HTTP on 80 only when nothing
// listens on 443 and the bridge is not pinned. Each case serves its own
// loopback address on those ports, which needs root; without it they are
// skipped.
class BareAddress : public TestingSupport::SimFixture {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "binding ports 80 and 443 needs root";
    }
    RunResult run_at(const std::string& ip, const std::vector<std::string>& args) {
        std::vector<std::string> line = args;
        line.push_back("--bridge=" + ip);
        return run_plain(line, {{"XDG_CONFIG_HOME", m_home.path()}});
    }
    TemporaryDirectory m_home;
};

TEST_F(BareAddress, MeansHttpsOn443) {
    serve_on("127.0.3.1");
    serve_tls();
    serve_on_port(443);
    start(kBridge, /*whitelisted=*/false);
    ASSERT_EQ(0, run_at("127.0.3.1", {"config", "--auth"}).status);
    const RunResult lights = run_at("127.0.3.1", {"lights"});
    EXPECT_EQ(0, lights.status) << lights.output;
    EXPECT_NE(std::string::npos, lights.output.find("Desk"));
}

TEST_F(BareAddress, FallsBackToPlainHttpOn80OnlyWhenNotPinned) {
    const struct {
        const char* ip;
        bool pinned;
    } cases[] = {{"127.0.3.2", false}, {"127.0.3.3", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ip);
        serve_on(c.ip);
        serve_on_port(80);
        start(kBridge);
        if (c.pinned) {
            std::filesystem::create_directories(m_home.path() + "/glowrig");
            std::ofstream(m_home.path() + "/glowrig/bridges.json")
                << R"({"bridges":[{"address":")" << c.ip << R"(:443","id":")" << kId
                << R"(","username":")" << user() << R"(","scheme":"https","port":443,)"
                << R"("sha256":"AB:CD"}]})";
        }
        const RunResult lights = run_at(c.ip, {"lights"});
        EXPECT_EQ(c.pinned ? 1 : 0, lights.status) << lights.output;
        EXPECT_EQ(c.pinned, request_lines().empty());
        if (c.pinned) continue;
        // Lines about the bridge name it as it was typed: the bare address.
        bridge().update([this](Json::Value& state) { state["config"]["whitelist"].erase(user()); });
        EXPECT_EQ(std::string("glowrig is not authorised on ") + c.ip +
                      ": press its link button, then run glowrig config --auth --bridge=" + c.ip +
                      "\n",
                  run_at(c.ip, {"config"}).errors);
    }
}

// The same bridge authorised again over plain HTTP, on a plain port beside
// its HTTPS one: the bridge grants, but the pinned entry stays as it was and
// later runs still go over HTTPS.
TEST_F(BridgeOverTls, APinIsNotGivenUpForPlainHttp) {
    ASSERT_EQ(0, run_here({"config", "--auth"}).status);
    const std::string pinned = Json::text(entries());
    Sim::Server plain;
    plain.add(ip(), 0, std::shared_ptr<Sim::SimBridge>(&bridge(), [](Sim::SimBridge*) {}));
    plain.open();
    bridge().clear_requests();
    const RunResult auth = run_plain_here(
        {"config", "--auth", "--bridge=" + ip() + ":" + std::to_string(plain.port(0))});
    EXPECT_EQ(0, auth.status) << auth.output;
    EXPECT_EQ("Note: bridge " + std::string(kId) + " stays pinned over HTTPS at https://" +
                  address() + "; its entry is left as it was.\n",
              auth.errors);
    EXPECT_EQ(pinned, Json::text(entries()));
    EXPECT_EQ(expand("GET /api/{user}/config"), request_lines().at(0));
    plain.close();
    EXPECT_EQ(0, run_plain_here({"lights", std::string("--bridge=") + kId}).status);
    // Its own port written as a plain address reaches it over HTTPS all the same.
    EXPECT_EQ(0, run_plain_here({"lights", "--bridge=" + address()}).status);
}

// A pinned bridge found somewhere new is used there only when it shows the
// pinned certificate; its entry follows it and keeps pin, scheme and port.
TEST_F(BridgeOverTls, APinnedBridgeFoundElsewhereMustShowItsPin) {
    ASSERT_EQ(0, run_here({"config", "--auth"}).status);
    const std::string granted = member(0, "username");
    const std::string at_home = Json::text(entries());
    std::string away = at_home;  // remembered where nothing answers now
    away.replace(away.find(ip() + ":"), ip().size(), "127.0.0.9");
    Sim::SsdpResponder ssdp("http://127.0.0.1:9/description.xml");
    ssdp.set_replies({});
    ssdp.start();
    Sim::MdnsResponder mdns({{"Hall", "hall", ip(), port(), kId, ""}});
    mdns.start();
    const auto run_found = [&](const std::vector<std::string>& args) {
        write_file(R"({"bridges":)" + away + "}");
        return run_plain(args, {{"XDG_CONFIG_HOME", m_home.path()},
                                {"GLOWRIG_SSDP", ssdp.endpoint()},
                                {"GLOWRIG_MDNS", mdns.endpoint()}});
    };
    EXPECT_EQ(0, run_found({"lights"}).status);
    EXPECT_EQ(at_home, Json::text(entries()));

    renew_certificate();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"lights"}, std::vector<std::string>{"config", "--auth"}}) {
        bridge().clear_requests();
        const RunResult refused = run_found(args);
        EXPECT_EQ(1, refused.status);
        EXPECT_NE(std::string::npos, refused.output.find(", found at https://" + address() +
                                                         ", does not show its pinned certificate"));
        EXPECT_FALSE(received_user(granted));
        EXPECT_EQ(away, Json::text(entries()));
    }
}

TEST_F(BridgeOverTls, ARememberedBridgeOverTlsIsKnownByItsCertificate) {
    ASSERT_EQ(0, run_here({"config", "--auth"}).status);
    const std::string pinned = Json::text(entries());
    const std::string granted = member(0, "username");
    const std::string unpinned = R"({"bridges":[{"id":"ECB5FAFFFE0A62C3","address":"{address}",
        "username":")" + granted +
                                 R"(","scheme":"https","port":{port}}]})";
    const struct {
        const char* what;
        std::string file;
        const char* common_name;  // of a new certificate; nullptr: the certificate stays
        bool searched;
    } cases[] = {
        {"pinned", R"({"bridges":)" + pinned + "}", nullptr, false},
        {"pinned, another certificate", R"({"bridges":)" + pinned + "}", "", true},
        {"not pinned, its id as CN", unpinned, nullptr, false},
        {"not pinned, another bridge's CN", unpinned, "0000000000000001", true},
    };
    // Searches reach these responders, which answer nothing.
    Sim::SsdpResponder ssdp("http://127.0.0.1:9/description.xml");
    ssdp.set_replies({});
    ssdp.start();
    Sim::MdnsResponder mdns(std::vector<Sim::MdnsService>{});
    mdns.start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string file = expand(c.file);
        const auto at = file.find("{port}");
        if (at != std::string::npos) file.replace(at, 6, std::to_string(port()));
        write_file(file);
        if (c.common_name) renew_certificate(c.common_name);
        const std::size_t searches = ssdp.searches() + mdns.queries();
        bridge().clear_requests();
        const RunResult result = run_plain({"lights"}, {{"XDG_CONFIG_HOME", m_home.path()},
                                                        {"GLOWRIG_SSDP", ssdp.endpoint()},
                                                        {"GLOWRIG_MDNS", mdns.endpoint()}});
        EXPECT_EQ(c.searched, searches != ssdp.searches() + mdns.queries());
        if (c.searched) {
            EXPECT_EQ(1, result.status);
            EXPECT_EQ("\nNo bridges found.\n", result.output);
            // The user name never reached a bridge that is not the remembered one.
            EXPECT_FALSE(received_user(granted));
        } else {
            EXPECT_EQ(0, result.status) << result.output;
            EXPECT_TRUE(received_user(granted));
        }
        if (c.common_name) renew_certificate();
    }
}

}  // namespace
