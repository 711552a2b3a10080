#include "json/parse.hpp"

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "json/text.hpp"

namespace {

std::string nested(std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

// Each text read back as glowrig writes it, or the line its failure shows.
TEST(JsonParse, ReadsAValueOrNamesThePlaceWhereTheTextStopsBeingJson) {
    const struct {
        std::string text;
        std::string read;
    } cases[] = {
        {R"( {"b":[1,2.5,"x"],"a":null} )", R"({"a":null,"b":[1,2.5,"x"]})"},
        // The first of a repeated name counts, also within a value it repeats.
        {R"({"a":1,"a":{"b":1,"b":[2],"c":3}})", R"({"a":1})"},
        {R"({"a":{"b":1,"b":{"c":[1],"c":2}},"z":0})", R"({"a":{"b":1},"z":0})"},
        {"<html>not json</html>", "Error: the bridge's reply is not JSON (line 1, column 1)."},
        {"", "Error: the bridge's reply is not JSON (line 1, column 1)."},
        {R"({"name":"Bri)", "Error: the bridge's reply is not JSON (line 1, column 13)."},
        {"{\n  \"a\": 1,\n  x}", "Error: the bridge's reply is not JSON (line 3, column 3)."},
        {"[1] [2]", "Error: the bridge's reply is not JSON (line 1, column 5)."},
        {"\"\xff\"", "Error: the bridge's reply is not JSON (line 1, column 2)."},
        {std::string("{}\0{", 4), "Error: the bridge's reply is not JSON (line 1, column 3)."},
        {nested(Json::kMaxDepth), nested(Json::kMaxDepth)},
        {nested(Json::kMaxDepth + 1), "Error: the bridge's reply is nested more than 128 deep."},
        {std::string(1000000, '['), "Error: the bridge's reply is nested more than 128 deep."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        try {
            EXPECT_EQ(c.read, Json::text(Json::parse(c.text)));
        } catch (const Json::ParseError& e) {
            EXPECT_EQ(c.read, e.what());
        }
    }
}

// Of a root object only the members asked for are kept; the others are
// still checked, and nothing below the root is left out.
TEST(JsonParse, KeepsOnlyTheRootMembersAskedFor) {
    const std::vector<std::string_view> kept = {"lights", "groups"};
    const struct {
        std::string text;
        std::string read;
    } cases[] = {
        {R"({"config":{"lights":1},"lights":{"1":{"groups":[1]}},"rules":[],"groups":{}})",
         R"({"groups":{},"lights":{"1":{"groups":[1]}}})"},
        {R"([{"lights":1,"x":2}])", R"([{"lights":1,"x":2}])"},
        {R"({"lights":1,"lights":2,"groups":3})", R"({"groups":3,"lights":1})"},
        {R"({"scenes":{"a":[1,}},"lights":{}})",
         "Error: the bridge's reply is not JSON (line 1, column 19)."},
        {R"({"scenes":)" + nested(Json::kMaxDepth) + "}",
         "Error: the bridge's reply is nested more than 128 deep."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        try {
            EXPECT_EQ(c.read, Json::text(Json::parse_members(c.text, kept)));
        } catch (const Json::ParseError& e) {
            EXPECT_EQ(c.read, e.what());
        }
    }
}

// Items go to their taker as they are read, each built only as far as asked,
// the first of a repeated name only; a value read again hands over the same.
TEST(JsonParse, HandsOverItemsBuiltOnlyAsFarAsAsked) {
    std::string taken;
    const Json::Shape item{{{"n"}}};
    const Json::Shape items{
        {}, &item, [&](std::string name, Json::Value value) {
            taken += name + "=" + Json::text(value) +
                     (Json::has(value, "n") && Json::at(value, "n").is_number_float() ? " (float) "
                                                                                      : " ");
        }};
    const Json::Shape root{{{"a"}, {"items", &items}}};
    const std::string text =
        R"({"items":{"2":{"n":1.0,"m":2},"1":[{"n":3}],"2":{"n":4}},"a":{"b":1},"z":1})";
    const Json::Value read = Json::parse_shaped(text, root);
    EXPECT_EQ(R"({"a":{"b":1},"items":{"1":null,"2":null}})", Json::text(read));
    EXPECT_EQ(R"(2={"n":1} (float) 1=[{"n":3}] )", taken);
    taken.clear();
    EXPECT_EQ(Json::text(read), Json::text(Json::reshape(Json::parse(text), root)));
    EXPECT_EQ(R"(1=[{"n":3}] 2={"n":1} (float) )", taken);
}

TEST(JsonParse, NamesItsSource) {
    EXPECT_THROW(
        {
            try {
                Json::parse("x", "the portal's reply");
            } catch (const Json::ParseError& e) {
                EXPECT_STREQ("Error: the portal's reply is not JSON (line 1, column 1).", e.what());
                throw;
            }
        },
        Json::ParseError);
}

}  // namespace
