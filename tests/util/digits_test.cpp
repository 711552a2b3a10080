#include "util/digits.hpp"

#include <gtest/gtest.h>

namespace Util {
namespace {

TEST(AllDigits, HoldsForOneOrMoreAsciiDigitsAlone) {
    const struct {
        const char* text;
        bool digits;
    } cases[] = {{"5", true},   {"0042", true}, {"", false},   {"1.5", false},
                 {"-1", false}, {" 5", false},  {"5x", false}, {"\xD9\xA3", false}};
    for (const auto& c : cases) EXPECT_EQ(c.digits, all_digits(c.text)) << c.text;
}

}  // namespace
}  // namespace Util
