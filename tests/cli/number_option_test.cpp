#include "cli/number_option.hpp"

#include <string>

#include <gtest/gtest.h>

#include "commands/usage_error.hpp"

namespace Cli {
namespace {

constexpr NumberForms kBrightness{0, 255, 254, true};
constexpr NumberForms kMired{0, 65535, 65534};
constexpr NumberForms kKelvin{1000, 10000, 0, false, "K"};
constexpr NumberForms kHue{0, 65535};

const char kBriForms[] =
    "Error: option 'bri' must be a whole number 0-255, +N or -N to change it by N (1-254) or "
    "N% (0-100).";
const char kBriRange[] = "Error: option 'bri' must be between 0 and 255.";
const char kHueForms[] = "Error: option 'hue' must be a whole number 0-65535.";
const char kHueRange[] = "Error: option 'hue' must be between 0 and 65535.";

// Each form read into its value or step, and each text in no form refused
// with the line that names the forms; whole numbers outside the field keep
// the line that names the range.
TEST(NumberOption, ReadsEachFormAndRefusesEveryOtherText) {
    const struct {
        const char* text;
        NumberForms forms;
        const char* name;
        int value;
        bool step;
        const char* refusal;  // empty: read
    } cases[] = {
        {"0", kBrightness, "bri", 0, false, ""},
        {"255", kBrightness, "bri", 255, false, ""},
        {"+10", kBrightness, "bri", 10, true, ""},
        {"-254", kBrightness, "bri", -254, true, ""},
        {"50%", kBrightness, "bri", 127, false, ""},
        {"1%", kBrightness, "bri", 3, false, ""},  // 2.54 rounds up
        {"100%", kBrightness, "bri", 254, false, ""},
        {"0%", kBrightness, "bri", 0, false, ""},
        {"256", kBrightness, "bri", 0, false, kBriRange},
        {"2147483648", kBrightness, "bri", 0, false, kBriRange},
        {"99999999999999999999999", kBrightness, "bri", 0, false, kBriRange},
        {"+255", kBrightness, "bri", 0, false, kBriForms},
        {"-0", kBrightness, "bri", 0, false, kBriForms},
        {"ten", kBrightness, "bri", 0, false, kBriForms},
        {"101%", kBrightness, "bri", 0, false, kBriForms},
        {"5.5%", kBrightness, "bri", 0, false, kBriForms},
        {"%", kBrightness, "bri", 0, false, kBriForms},
        {"1e2", kBrightness, "bri", 0, false, kBriForms},
        {"+-5", kBrightness, "bri", 0, false, kBriForms},
        {"-65534", kMired, "ct", -65534, true, ""},
        {"2700K", kKelvin, "kelvin", 2700, false, ""},
        {"6500k", kKelvin, "kelvin", 6500, false, ""},
        {"999K", kKelvin, "kelvin", 0, false,
         "Error: option 'kelvin' must be between 1000 and 10000."},
        {"K", kKelvin, "kelvin", 0, false,
         "Error: option 'kelvin' must be a whole number 1000-10000, with or without K."},
        {"-1", kHue, "hue", 0, false, kHueRange},
        {"+1", kHue, "hue", 0, false, kHueForms},
        {"50%", kHue, "hue", 0, false, kHueForms},
        {"5 ", kHue, "hue", 0, false, kHueForms},
        {"-0", kHue, "hue", 0, false, ""},
        {"x", NumberForms{0, 2147483647}, "for", 0, false,
         "Error: option 'for' must be a whole number 0 or more."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.text);
        try {
            const Commands::Level level = read_number(c.text, c.name, c.forms);
            EXPECT_EQ("", std::string(c.refusal));
            EXPECT_EQ(c.value, level.value);
            EXPECT_EQ(c.step, level.step);
        } catch (const Commands::UsageError& e) {
            EXPECT_EQ(c.refusal, std::string(e.what()));
        }
    }
}

}  // namespace
}  // namespace Cli
