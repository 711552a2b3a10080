#include "util/printable.hpp"

#include <string>

#include <gtest/gtest.h>

namespace Util {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

// Every byte value once, between two letters: a control or a byte that starts
// no valid sequence becomes one replacement, and neither letter is lost.
TEST(Printable, EachSingleByteBetweenLetters) {
    for (int byte = 0; byte < 256; ++byte) {
        SCOPED_TRACE(byte);
        const std::string text = std::string("a") + static_cast<char>(byte) + "b";
        const bool kept = byte >= 0x20 && byte < 0x7F;
        EXPECT_EQ(kept ? text : "a" + kReplacement + "b", printable(text));
    }
}

// The two-byte characters around the C1 block: U+0080 to U+009F are controls.
TEST(Printable, CharactersAroundTheC1Block) {
    for (unsigned code = 0x80; code <= 0xFF; ++code) {
        SCOPED_TRACE(code);
        const std::string text = {static_cast<char>(0xC0 | (code >> 6)),
                                  static_cast<char>(0x80 | (code & 0x3F))};
        EXPECT_EQ(code <= 0x9F ? kReplacement : text, printable(text));
    }
}

// A broken sequence costs one replacement per byte and nothing after it.
TEST(Printable, BrokenSequencesLoseNothingAfterThem) {
    struct Case {
        const char* text;
        int replacements;
    } cases[] = {
        {"\xE2\x82x", 2},          // truncated three-byte sequence
        {"\xF0\x9F\x98x", 3},      // truncated four-byte sequence
        {"\xC0\xAFx", 2},          // overlong form of '/'
        {"\xED\xA0\x80x", 3},      // a surrogate
        {"\xF4\x90\x80\x80x", 4},  // past U+10FFFF
        {"\x80x", 1},              // a lone continuation byte
        {"\xC3x", 1},              // a lead byte followed by a letter
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string expected;
        for (int i = 0; i < c.replacements; ++i) expected += kReplacement;
        EXPECT_EQ(expected + "x", printable(c.text));
    }
}

TEST(Printable, KeepsValidTextWhole) {
    const std::string text = "Küche \xE2\x82\xAC \xF0\x9F\x92\xA1 \xEF\xBF\xBD";
    EXPECT_EQ(text, printable(text));
}

}  // namespace
}  // namespace Util
