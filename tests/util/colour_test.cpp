#include "util/colour.hpp"

#include <string>

#include <gtest/gtest.h>

namespace {

using Util::Xy;

// An older, narrower triangle: the sRGB green lies beyond its green corner.
const Util::Gamut kNarrow = {{0.675, 0.322}, {0.409, 0.518}, {0.167, 0.04}};

void expect_point(const Xy& expected, const Xy& actual) {
    EXPECT_DOUBLE_EQ(expected.x, Util::four_decimals(actual.x));
    EXPECT_DOUBLE_EQ(expected.y, Util::four_decimals(actual.y));
}

// The sRGB primaries and white point as published, a named colour (the
// standard conversion worked by hand), and each way of writing a colour.
TEST(Colour, ReadsAndConvertsToThePublishedChromaticities) {
    const struct {
        const char* text;
        Xy xy;
    } cases[] = {
        {"#ff0000", {0.64, 0.33}},      {"00FF00", {0.3, 0.6}},
        {"rgb(0,0,255)", {0.15, 0.06}}, {"rgb( 255 , 255,255 )", {0.3127, 0.329}},
        {"White", {0.3127, 0.329}},     {"lime", {0.3, 0.6}},
        {"ORANGE", {0.5005, 0.4408}},   {"rebeccapurple", {0.2442, 0.1474}},
        {"#FFA500", {0.5005, 0.4408}},  {"grey", {0.3127, 0.329}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto rgb = Util::read_colour(c.text);
        ASSERT_TRUE(rgb);
        const auto xy = Util::chromaticity(*rgb);
        ASSERT_TRUE(xy);
        expect_point(c.xy, *xy);
    }
}

TEST(Colour, RefusesWhatNamesNoColour) {
    for (const char* text :
         {"", "#", "#ff000", "ff00000", "#gg0000", "rgb(256,0,0)", "rgb(1,2)", "rgb(1,2,3,4)",
          "rgb(-1,0,0)", "rgb(1,2,3", "rgb()", "bluish", "transparent", "light blue"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Util::read_colour(text));
    }
    const auto black = Util::read_colour("black");
    ASSERT_TRUE(black);
    EXPECT_FALSE(Util::chromaticity(*black));  // black has no colour
}

// Inside, a point stays as it is; outside, it moves to the nearest point of
// the triangle: onto an edge, or onto a corner.
TEST(Colour, MovesPointsOutsideTheGamutOntoItsNearestPoint) {
    const struct {
        const char* what;
        Util::Gamut gamut;
        Xy point;
        Xy moved;
    } cases[] = {
        {"inside", kNarrow, {0.4, 0.3}, {0.4, 0.3}},
        {"a corner", kNarrow, {0.409, 0.518}, {0.409, 0.518}},
        {"beyond the red-green edge", kNarrow, {0.5, 0.5}, {0.4766, 0.4682}},
        {"beyond the green corner", kNarrow, {0.3, 0.6}, {0.409, 0.518}},
        {"beyond the red corner", kNarrow, {0.8, 0.2}, {0.675, 0.322}},
        {"sRGB red in the widest", Util::kWidestGamut, {0.64, 0.33}, {0.64, 0.33}},
        {"sRGB blue beside the widest", Util::kWidestGamut, {0.15, 0.06}, {0.1535, 0.0599}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        expect_point(c.moved, Util::into_gamut(c.point, c.gamut));
    }
}

TEST(Colour, KelvinToMiredAtBothEndsOfTheRange) {
    const struct {
        int kelvin;
        int mired;
    } cases[] = {{1000, 1000}, {2000, 500}, {2700, 370}, {6500, 154}, {6536, 153}, {10000, 100}};
    for (const auto& c : cases) EXPECT_EQ(c.mired, Util::mired_of_kelvin(c.kelvin)) << c.kelvin;
}

}  // namespace

namespace {

std::string named(const std::optional<Util::Rgb>& rgb) {
    return rgb ? Util::nearest_colour_name(*rgb) + " " + Util::hex_text(*rgb) : "none";
}

// The way back, from what a light reports to what a screen shows.
TEST(Colour, NamesWhatALightShows) {
    const struct {
        std::optional<Util::Rgb> rgb;
        const char* shown;
    } cases[] = {
        {Util::colour_of_chromaticity({0.64, 0.33}), "red #ff0000"},
        {Util::colour_of_chromaticity({0.3, 0.6}), "lime #00ff00"},
        {Util::colour_of_chromaticity({0.15, 0.06}), "blue #0000ff"},
        {Util::colour_of_chromaticity({0.3127, 0.329}), "white #ffffff"},
        {Util::colour_of_chromaticity(Util::white_of_kelvin(6504)), "ghostwhite #fff9fe"},
        {Util::colour_of_chromaticity({0.5, 0}), "none"},
        {Util::colour_of_hue(0, 254), "red #ff0000"},
        {Util::colour_of_hue(21845, 254), "lime #00ff00"},
        {Util::colour_of_hue(43690, 300), "blue #0000ff"},
        {Util::colour_of_hue(54613, 127), "violet #ff80ff"},
        {Util::colour_of_hue(9000, 0), "white #ffffff"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.shown, named(c.rgb));
    for (const auto& [mired, kelvin] :
         {std::pair{370, 2700}, {153, 6500}, {500, 2000}, {454, 2200}}) {
        EXPECT_EQ(kelvin, Util::kelvin_of_mired(mired)) << mired;
    }
}

}  // namespace
