#include "util/text.hpp"

#include <string>

#include <gtest/gtest.h>

namespace Util {
namespace {

TEST(Text, LowerCaseAndHexTouchOnlyAscii) {
    EXPECT_EQ("0200aafffe0a1b2c-xyz@[`{\xC3\x89", lower_case("0200AAFFFE0a1B2C-XYZ@[`{\xC3\x89"));
    EXPECT_EQ("0A", hex_byte(0x0A));
    EXPECT_EQ("F0", hex_byte(0xF0));
}

TEST(Text, CountsAndCutsCodePointsOfWellFormedUtf8) {
    const struct {
        std::string text;
        bool valid;
        std::size_t points;
        std::size_t prefix_of_two;  // bytes of the first two code points
    } cases[] = {
        {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", true, 3, 5},
        {"\xF4\x90\x80\x80", false, 1, 4},  // above U+10FFFF
        {"\xC0\xAF", false, 1, 2},          // overlong
        {"\xED\xA0\x80", false, 1, 3},      // a surrogate
        {"a\xE2\x82", false, 2, 3},         // cut short
        {"a", true, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(c.valid, is_valid_utf8(c.text));
        EXPECT_EQ(c.points, code_points(c.text));
        EXPECT_EQ(c.prefix_of_two, code_point_prefix(c.text, 2));
    }
}

}  // namespace
}  // namespace Util
