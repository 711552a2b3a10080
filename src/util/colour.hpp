#ifndef GLOWRIG_UTIL_COLOUR_HPP_
#define GLOWRIG_UTIL_COLOUR_HPP_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Util {

// A colour as a screen gives it: 8-bit sRGB components.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// A point of the CIE 1931 chromaticity diagram.
struct Xy {
    double x = 0;
    double y = 0;
};

// The triangle of the colours a light can show: its red, green and blue corners.
struct Gamut {
    Xy red;
    Xy green;
    Xy blue;
};

// The widest triangle the platform's lights report, for a light (or a group)
// that reports none.
extern const Gamut kWidestGamut;

// The colour `text` names: "#rrggbb", "rrggbb", "rgb(R,G,B)" (each 0-255,
// blanks allowed around the numbers) or one of the 148 CSS colour names,
// letter case aside. Nothing for any other text.
std::optional<Rgb> read_colour(const std::string& text);

// The 148 colour names read_colour takes, in lower case and name order.
std::vector<std::string> colour_names();

// The chromaticity of `colour`: its components gamma-expanded, taken to XYZ
// with the sRGB (D65) matrix, then to x = X/(X+Y+Z), y = Y/(X+Y+Z). Black,
// which has none, gives nothing.
std::optional<Xy> chromaticity(const Rgb& colour);

// `point` when it lies in `gamut` (edges included), else the point of the
// triangle nearest to it: on an edge, or a corner.
Xy into_gamut(const Xy& point, const Gamut& gamut);

// `value` rounded to four decimals, the precision a light takes x and y in.
double four_decimals(double value);

// The mired value of a colour temperature in kelvin: round(1,000,000 / K).
// REQUIRES: kelvin > 0.
int mired_of_kelvin(int kelvin);

// The colour temperature of `mired` in kelvin, 1,000,000 / mired rounded to
// the nearest 100 K: a light given "--kelvin" in hundreds (up to 10000 K) reads
// back as given (370 mired: 2700 K). REQUIRES: mired > 0.
int kelvin_of_mired(int mired);

// The chromaticity of the white a black body glows with at `kelvin`, on the
// Planckian locus (kelvin is taken into 1667-25000).
Xy white_of_kelvin(double kelvin);

// The brightest colour of chromaticity `point`: x, y and Y = 1 taken to linear
// sRGB (D65), components below 0 raised to 0, scaled so that the largest is
// 1, then gamma-compressed. Nothing for a point with y <= 0 or that gives black.
std::optional<Rgb> colour_of_chromaticity(const Xy& point);

// The colour of `hue` (0-65535 once around the wheel, from red through green
// and blue) and saturation `sat` (0-254, more taken as 254) at full value.
Rgb colour_of_hue(std::uint16_t hue, unsigned sat);

// The CSS colour name nearest to `colour`, by distance in CIE Lab (D65); of
// names of one colour ("aqua", "cyan") the first in name order.
std::string nearest_colour_name(const Rgb& colour);

// "#rrggbb" in lower case.
std::string hex_text(const Rgb& colour);

}  // namespace Util

#endif  // GLOWRIG_UTIL_COLOUR_HPP_
