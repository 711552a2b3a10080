#include "hue/configuration.hpp"

#include <gtest/gtest.h>

#include "json/parse.hpp"

namespace Hue {
namespace {

// A handle tells which members the last read held, so that a printout can
// tell a default from a reported value; an error array holds none.
TEST(ConfigurationMembers, ReportedAreThoseOfTheLastRead) {
    Configuration configuration =
        Configuration::from_json(Client(), Json::parse(R"({"name":"B","UTC":"","dhcp":false})"));
    for (const char* member : {"name", "UTC", "dhcp"}) EXPECT_TRUE(configuration.reported(member));
    for (const char* member : {"utc", "mac", "whitelist", ""}) {
        EXPECT_FALSE(configuration.reported(member)) << member;
    }
    configuration = Configuration::from_json(Client(), Json::parse(R"([{"error":{}}])"));
    EXPECT_FALSE(configuration.reported("name"));
}

}  // namespace
}  // namespace Hue
