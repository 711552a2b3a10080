// Inputs the fuzz targets in fuzz/ found to break a reader, kept as cases.

#include <string>

#include <gtest/gtest.h>

#include "hue/client.hpp"
#include "hue/details/configuration_impl.hpp"
#include "json/value.hpp"

namespace Hue {
namespace {

// A proxy address that does not form a URL with its port made the whole
// configuration read fail with the URL reader's error instead of a JSON one.
TEST(ConfigurationFuzzRegression, ProxyAddressThatFormsNoUrlReadsAsNoProxy) {
    const struct {
        const char* address;
        int port;
    } cases[] = {
        {"192.168.1\x81\x81.9", 8080},
        {"proxy host", 3128},
        {"proxy host", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        Json::Value json = Json::Value::object();
        json["proxyaddress"] = c.address;
        json["proxyport"] = c.port;
        json["name"] = "Bridge";
        details::Configuration_Impl configuration{Client()};
        ASSERT_NO_THROW(configuration.read(json));
        EXPECT_EQ("", configuration.settings().proxy.host);
        EXPECT_EQ("Bridge", configuration.settings().name);
        EXPECT_TRUE(configuration.save_body().is_null());
    }
}

}  // namespace
}  // namespace Hue
