// Inputs the fuzz targets in fuzz/ found to break a reader, kept as cases.

#include <string>

#include <cpprest/json.h>
#include <gtest/gtest.h>

#include "hue/client.hpp"
#include "hue/details/configuration_impl.hpp"

namespace Hue {
namespace {

using web::json::value;

// A client_config address that does not form a URI with its port made the whole
// configuration read fail with the URI library's error instead of a JSON one.
TEST(ConfigurationFuzzRegression, ProxyAddressThatFormsNoUriReadsAsNoProxy) {
    const char* const cases[] = {
        "{\"proxyaddress\":\"192.168.1\x81\x81.9\",\"proxyport\":8080,\"name\":\"Bridge\"}",
        R"({"proxyaddress":"proxy host","proxyport":3128,"name":"Bridge"})",
        R"({"proxyaddress":"proxy host","proxyport":-1,"name":"Bridge"})",
    };
    for (const char* json : cases) {
        SCOPED_TRACE(json);
        details::Configuration_Impl configuration{Client()};
        ASSERT_NO_THROW(configuration.read(value::parse(json)));
        EXPECT_EQ("/", configuration.settings().proxy.to_string());
        EXPECT_EQ("Bridge", configuration.settings().name);
        EXPECT_TRUE(configuration.save_body().is_null());
    }
}

}  // namespace
}  // namespace Hue
