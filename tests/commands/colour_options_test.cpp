#include "commands/colour_options.hpp"

#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace Commands {
namespace {

// What a colour option asks of a light in xy mode at 0.3127,0.329 that shows
// colour temperatures 153-454 alone or colour within the widest triangle:
// the fields set, the bits sent whatever the light reports (a colour in
// another mode), and the note on the error stream.
TEST(ColourOptions, PutTheAskedColourIntoTheFieldsTheLightCanShow) {
    const struct {
        const char* what;
        StateOptions changes;
        float x, y;  // the fields after, to five decimals
        int ct;
        std::uint32_t bits;
        const char* note;
    } cases[] = {
        {"the point it shows",
         [] {
             StateOptions o;
             o.xy = xy_point("0.3127,0.329");
             return o;
         }(),
         0.3127f, 0.329f, 300, 0, ""},
        {"red",
         [] {
             StateOptions o;
             o.color = colour_point("red");
             return o;
         }(),
         0.64f, 0.33f, 300, 0, ""},
        {"2700 K in xy mode",
         [] {
             StateOptions o;
             o.kelvin = 2700;
             return o;
         }(),
         0.3127f, 0.329f, 370, Hue::LightField::ct, ""},
        {"1000 K, held to the range",
         [] {
             StateOptions o;
             o.kelvin = 1000;
             return o;
         }(),
         0.3127f, 0.329f, 454, Hue::LightField::ct,
         "Note: 1000 K is ct 1000, outside ct 153-454 of light 2 (Porch); sent ct 454.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ColourTarget target;
        target.what = "light 2 (Porch)";
        target.ct = {153, 454};
        Hue::LightFields fields;
        fields.colormode = Hue::ColorMode::xy;
        fields.x = 0.3127f;
        fields.y = 0.329f;
        fields.ct = 300;
        std::ostringstream out, err;
        EXPECT_EQ(c.bits, apply_colour_options(c.changes, target, Output(out, err, false), fields));
        EXPECT_NEAR(c.x, fields.x, 0.00001);
        EXPECT_NEAR(c.y, fields.y, 0.00001);
        EXPECT_EQ(c.ct, fields.ct);
        EXPECT_EQ(c.note, err.str());
    }
}

}  // namespace
}  // namespace Commands
