#include "access/interfaces.hpp"

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "access/credentials_file.hpp"
#include "json/parse.hpp"
#include "sim/event_data.hpp"
#include "support/process.hpp"
#include "support/sim_fixture.hpp"

namespace Access {
namespace {

const char kBridge[] = R"({"linkbutton": true, "state": {
    "config": {"name": "Hall", "bridgeid": "ECB5FAFFFE0A62C3", "whitelist": {}},
    "lights": {"3": {"name": "Desk", "state": {"on": false, "bri": 1}}}}})";

// config --auth learns whether a bridge has the newer interface and keeps it
// in the entry; a 404 later clears it. Plain bridges are not asked.
class Interfaces : public TestingSupport::SimFixture {
protected:
    std::string auth_and_entry(bool tls) {
        if (tls) serve_tls();
        start(kBridge, /*whitelisted=*/false);
        EXPECT_EQ(0, run({"config", "--auth"}, {{"XDG_CONFIG_HOME", m_home.path()}}).status);
        const auto lines = request_lines();
        m_last_request = lines.empty() ? "" : lines.back();
        return m_home.path() + "/glowrig/bridges.json";
    }

    TestingSupport::TemporaryDirectory m_home;
    std::string m_last_request;
};

TEST_F(Interfaces, AuthKeepsThemAndA404ClearsThem) {
    const auto credentials = std::make_shared<const CredentialsFile>(auth_and_entry(true));
    EXPECT_EQ("GET /clip/v2/resource/bridge", m_last_request);
    const Hue::Bridge bridge("ECB5FAFFFE0A62C3",
                             Http::Endpoint{Http::Scheme::Https, ip(), port(), "/"});
    ASSERT_TRUE(credentials->find_entry(bridge));
    EXPECT_TRUE(credentials->find_entry(bridge)->newer);
    Target target{bridge, {}, {}, nullptr, credentials};
    target.identity.user_id = credentials->find_entry(bridge)->username;

    const auto index = newer_resources(target, {});
    ASSERT_TRUE(index);
    EXPECT_EQ(Sim::uuid_from("/lights/3"), index->id_of("/lights/3", "light"));
    EXPECT_EQ(std::nullopt, index->id_of("/lights/3", "grouped_light"));

    SimFixture::bridge().serve_clip_v2(false);
    EXPECT_FALSE(newer_resources(target, {}));
    EXPECT_FALSE(
        CredentialsFile(m_home.path() + "/glowrig/bridges.json").find_entry(bridge)->newer);
}

TEST_F(Interfaces, PlainBridgesAreNotAsked) {
    std::ifstream file(auth_and_entry(false));
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    EXPECT_NE(std::string::npos, text.find("\"username\""));
    EXPECT_EQ(std::string::npos, text.find("\"v2\""));
    EXPECT_EQ(std::string::npos, m_last_request.find("clip"));
}

}  // namespace
}  // namespace Access
