#include "json/text.hpp"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace {

using Json::Value;

TEST(JsonText, WritesOneLineInNameOrderWithNumbersInEitherForm) {
    const struct {
        Value value;
        std::string text;
        Json::Numbers numbers = Json::Numbers::full;
    } cases[] = {
        {Value::object(
             {{"z", Value::object()}, {"y", Value::array()}, {"x", nullptr}, {"w", true}}),
         R"({"w":true,"x":null,"y":[],"z":{}})"},
        {Value("a\"b\\c/d\x01\x1f\x7f\b\f\n\r\tz\xc3\xa9"),
         "\"a\\\"b\\\\c/d\\u0001\\u001F\x7f\\b\\f\\n\\r\\tz\xc3\xa9\""},
        {Value::array({0.4, 0.3127, 2.0, -0.0, 1e300, 1e-7}),
         "[0.40000000000000002,0.31269999999999998,2,-0,1.0000000000000001e+300,"
         "9.9999999999999995e-08]"},
        {Value::array(
             {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}),
         "[null,null]"},
        {Value::array({-5, std::numeric_limits<std::uint64_t>::max(),
                       std::numeric_limits<std::int64_t>::min()}),
         "[-5,18446744073709551615,-9223372036854775808]"},
        // Numbers to a set precision, in their shortest form.
        {Value::array({Json::decimal(0.64000001, 4), Json::decimal(0.63999998569488525, 4),
                       Json::decimal(0.31269, 4), Json::decimal(0.5, 4), Json::decimal(1, 4),
                       Json::decimal(-0.00001, 4), Json::decimal(std::nan(""), 4)}),
         "[0.64,0.64,0.3127,0.5,1,0,null]"},
        {Value::binary({'1', '2'}), "null"},  // a binary value not made by decimal()
        // glowrig's own printouts: the shortest digits that read back the same.
        {Value::object({{"xy", Value::array({0.64, 0.33, 0.1 + 0.2, 2.0, -0.0, 1e300, 1e-7,
                                             std::numeric_limits<double>::infinity(),
                                             Json::decimal(0.31269, 4)})}}),
         R"({"xy":[0.64,0.33,0.30000000000000004,2,-0,1e+300,1e-07,null,0.3127]})",
         Json::Numbers::shortest},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.text, Json::text(c.value, c.numbers));
    }
}

}  // namespace
