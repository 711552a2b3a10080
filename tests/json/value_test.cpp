#include "json/value.hpp"

#include <functional>
#include <string>

#include <gtest/gtest.h>

namespace {

using Json::Value;

// Each reader names the shape it missed, as users see it in a failure line.
TEST(JsonValue, ReadersNameTheShapeTheyMissed) {
    const Value object = Value::object({{"s", "x"}, {"n", 1.5}});
    const Value array = Value::array({1});
    const struct {
        const char* what;
        std::function<void()> read;
    } cases[] = {
        {"Key not found", [&] { Json::at(object, "k"); }},
        {"not an object", [&] { Json::at(array, "k"); }},
        {"index out of bounds", [&] { Json::at(array, 1); }},
        {"not an array", [&] { Json::at(object, 0); }},
        {"not a string", [&] { Json::as_string(object.at("n")); }},
        {"not a boolean", [&] { Json::as_bool(object.at("s")); }},
        {"not a number", [&] { Json::as_int(object.at("s")); }},
        {"not a number", [&] { Json::as_double(object.at("s")); }},
        {"not a number", [&] { Json::as_int64(Value(1e19)); }},
        {"not an object", [&] { Json::as_object(array); }},
    };
    for (const auto& c : cases) {
        try {
            c.read();
            ADD_FAILURE() << c.what << ": nothing thrown";
        } catch (const Json::Error& e) {
            EXPECT_STREQ(c.what, e.what());
        }
    }
}

TEST(JsonValue, NumbersReadAsIntegersLoseOnlyTheirFraction) {
    EXPECT_EQ(1, Json::as_int(Value(1.9)));
    EXPECT_EQ(-1, Json::as_int(Value(-1.9)));
    EXPECT_EQ(-9223372036854775807 - 1, Json::as_int64(Value(-9223372036854775808.0)));
    EXPECT_EQ(300, Json::as_int64(Value(300u)));
    EXPECT_EQ(nullptr, Json::find(Value(1), "k"));
    EXPECT_EQ(Value("x"), *Json::find(Value::object({{"k", "x"}}), "k"));
}

}  // namespace
