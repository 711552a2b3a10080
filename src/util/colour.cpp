#include "util/colour.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

#include "util/text.hpp"

namespace Util {

// The triangle the newest lights of the platform report, the widest of them.
const Gamut kWidestGamut = {{0.6915, 0.3083}, {0.17, 0.7}, {0.1532, 0.0475}};

namespace {

struct NamedColour {
    const char* name;
    std::uint32_t rgb;  // 0xRRGGBB
};

// The colour names of CSS Color Module Level 4, in name order.
constexpr NamedColour kNames[] = {
    {"aliceblue", 0xf0f8ff},
    {"antiquewhite", 0xfaebd7},
    {"aqua", 0x00ffff},
    {"aquamarine", 0x7fffd4},
    {"azure", 0xf0ffff},
    {"beige", 0xf5f5dc},
    {"bisque", 0xffe4c4},
    {"black", 0x000000},
    {"blanchedalmond", 0xffebcd},
    {"blue", 0x0000ff},
    {"blueviolet", 0x8a2be2},
    {"brown", 0xa52a2a},
    {"burlywood", 0xdeb887},
    {"cadetblue", 0x5f9ea0},
    {"chartreuse", 0x7fff00},
    {"chocolate", 0xd2691e},
    {"coral", 0xff7f50},
    {"cornflowerblue", 0x6495ed},
    {"cornsilk", 0xfff8dc},
    {"crimson", 0xdc143c},
    {"cyan", 0x00ffff},
    {"darkblue", 0x00008b},
    {"darkcyan", 0x008b8b},
    {"darkgoldenrod", 0xb8860b},
    {"darkgray", 0xa9a9a9},
    {"darkgreen", 0x006400},
    {"darkgrey", 0xa9a9a9},
    {"darkkhaki", 0xbdb76b},
    {"darkmagenta", 0x8b008b},
    {"darkolivegreen", 0x556b2f},
    {"darkorange", 0xff8c00},
    {"darkorchid", 0x9932cc},
    {"darkred", 0x8b0000},
    {"darksalmon", 0xe9967a},
    {"darkseagreen", 0x8fbc8f},
    {"darkslateblue", 0x483d8b},
    {"darkslategray", 0x2f4f4f},
    {"darkslategrey", 0x2f4f4f},
    {"darkturquoise", 0x00ced1},
    {"darkviolet", 0x9400d3},
    {"deeppink", 0xff1493},
    {"deepskyblue", 0x00bfff},
    {"dimgray", 0x696969},
    {"dimgrey", 0x696969},
    {"dodgerblue", 0x1e90ff},
    {"firebrick", 0xb22222},
    {"floralwhite", 0xfffaf0},
    {"forestgreen", 0x228b22},
    {"fuchsia", 0xff00ff},
    {"gainsboro", 0xdcdcdc},
    {"ghostwhite", 0xf8f8ff},
    {"gold", 0xffd700},
    {"goldenrod", 0xdaa520},
    {"gray", 0x808080},
    {"green", 0x008000},
    {"greenyellow", 0xadff2f},
    {"grey", 0x808080},
    {"honeydew", 0xf0fff0},
    {"hotpink", 0xff69b4},
    {"indianred", 0xcd5c5c},
    {"indigo", 0x4b0082},
    {"ivory", 0xfffff0},
    {"khaki", 0xf0e68c},
    {"lavender", 0xe6e6fa},
    {"lavenderblush", 0xfff0f5},
    {"lawngreen", 0x7cfc00},
    {"lemonchiffon", 0xfffacd},
    {"lightblue", 0xadd8e6},
    {"lightcoral", 0xf08080},
    {"lightcyan", 0xe0ffff},
    {"lightgoldenrodyellow", 0xfafad2},
    {"lightgray", 0xd3d3d3},
    {"lightgreen", 0x90ee90},
    {"lightgrey", 0xd3d3d3},
    {"lightpink", 0xffb6c1},
    {"lightsalmon", 0xffa07a},
    {"lightseagreen", 0x20b2aa},
    {"lightskyblue", 0x87cefa},
    {"lightslategray", 0x778899},
    {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xb0c4de},
    {"lightyellow", 0xffffe0},
    {"lime", 0x00ff00},
    {"limegreen", 0x32cd32},
    {"linen", 0xfaf0e6},
    {"magenta", 0xff00ff},
    {"maroon", 0x800000},
    {"mediumaquamarine", 0x66cdaa},
    {"mediumblue", 0x0000cd},
    {"mediumorchid", 0xba55d3},
    {"mediumpurple", 0x9370db},
    {"mediumseagreen", 0x3cb371},
    {"mediumslateblue", 0x7b68ee},
    {"mediumspringgreen", 0x00fa9a},
    {"mediumturquoise", 0x48d1cc},
    {"mediumvioletred", 0xc71585},
    {"midnightblue", 0x191970},
    {"mintcream", 0xf5fffa},
    {"mistyrose", 0xffe4e1},
    {"moccasin", 0xffe4b5},
    {"navajowhite", 0xffdead},
    {"navy", 0x000080},
    {"oldlace", 0xfdf5e6},
    {"olive", 0x808000},
    {"olivedrab", 0x6b8e23},
    {"orange", 0xffa500},
    {"orangered", 0xff4500},
    {"orchid", 0xda70d6},
    {"palegoldenrod", 0xeee8aa},
    {"palegreen", 0x98fb98},
    {"paleturquoise", 0xafeeee},
    {"palevioletred", 0xdb7093},
    {"papayawhip", 0xffefd5},
    {"peachpuff", 0xffdab9},
    {"peru", 0xcd853f},
    {"pink", 0xffc0cb},
    {"plum", 0xdda0dd},
    {"powderblue", 0xb0e0e6},
    {"purple", 0x800080},
    {"rebeccapurple", 0x663399},
    {"red", 0xff0000},
    {"rosybrown", 0xbc8f8f},
    {"royalblue", 0x4169e1},
    {"saddlebrown", 0x8b4513},
    {"salmon", 0xfa8072},
    {"sandybrown", 0xf4a460},
    {"seagreen", 0x2e8b57},
    {"seashell", 0xfff5ee},
    {"sienna", 0xa0522d},
    {"silver", 0xc0c0c0},
    {"skyblue", 0x87ceeb},
    {"slateblue", 0x6a5acd},
    {"slategray", 0x708090},
    {"slategrey", 0x708090},
    {"snow", 0xfffafa},
    {"springgreen", 0x00ff7f},
    {"steelblue", 0x4682b4},
    {"tan", 0xd2b48c},
    {"teal", 0x008080},
    {"thistle", 0xd8bfd8},
    {"tomato", 0xff6347},
    {"turquoise", 0x40e0d0},
    {"violet", 0xee82ee},
    {"wheat", 0xf5deb3},
    {"white", 0xffffff},
    {"whitesmoke", 0xf5f5f5},
    {"yellow", 0xffff00},
    {"yellowgreen", 0x9acd32},
};

Rgb from_number(std::uint32_t rgb) {
    return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
            static_cast<std::uint8_t>(rgb)};
}

// "rrggbb" in lower case: six hexadecimal digits, nothing else.
std::optional<Rgb> read_hex(const std::string& digits) {
    if (digits.size() != 6) return std::nullopt;
    std::uint32_t rgb = 0;
    for (const char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        rgb = rgb * 16 + static_cast<std::uint32_t>(
                             std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : c - 'a' + 10);
    }
    return from_number(rgb);
}

// "R,G,B" (what is between the brackets of "rgb(...)"): three integers
// 0-255, blanks allowed around each.
std::optional<Rgb> read_components(const std::string& inside) {
    int values[3];
    std::size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        while (at < inside.size() && inside[at] == ' ') ++at;
        const std::size_t start = at;
        while (at < inside.size() && std::isdigit(static_cast<unsigned char>(inside[at]))) ++at;
        if (at == start || at - start > 3) return std::nullopt;
        values[i] = std::stoi(inside.substr(start, at - start));
        if (values[i] > 255) return std::nullopt;
        while (at < inside.size() && inside[at] == ' ') ++at;
        if (i < 2) {
            if (at >= inside.size() || inside[at] != ',') return std::nullopt;
            ++at;
        }
    }
    if (at != inside.size()) return std::nullopt;
    return Rgb{static_cast<std::uint8_t>(values[0]), static_cast<std::uint8_t>(values[1]),
               static_cast<std::uint8_t>(values[2])};
}

// An sRGB component (0-255) as linear light (0-1).
double expanded(std::uint8_t component) {
    const double c = component / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double cross(const Xy& a, const Xy& b, const Xy& p) {
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

// The point of the segment a-b nearest to p.
Xy nearest_on_segment(const Xy& a, const Xy& b, const Xy& p) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = dx * dx + dy * dy;
    double t = length == 0 ? 0 : ((p.x - a.x) * dx + (p.y - a.y) * dy) / length;
    t = std::clamp(t, 0.0, 1.0);
    return {a.x + t * dx, a.y + t * dy};
}

// Linear light (0-1) as an sRGB component (0-255).
std::uint8_t compressed(double linear) {
    const double c =
        linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    return static_cast<std::uint8_t>(std::lround(std::clamp(c, 0.0, 1.0) * 255));
}

struct Lab {
    double l;
    double a;
    double b;
};

// `colour` in CIE Lab, with the D65 white of sRGB as the reference white.
Lab lab_of(const Rgb& colour) {
    const double r = expanded(colour.red);
    const double g = expanded(colour.green);
    const double b = expanded(colour.blue);
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
    const auto f = [](double t) {
        return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116;
    };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

double distance2(const Xy& a, const Xy& b) {
    return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y);
}

}  // namespace

std::optional<Rgb> read_colour(const std::string& text) {
    const std::string word = lower_case(text);
    if (!word.empty() && word[0] == '#') return read_hex(word.substr(1));
    if (word.size() > 5 && word.compare(0, 4, "rgb(") == 0 && word.back() == ')') {
        return read_components(word.substr(4, word.size() - 5));
    }
    if (auto hex = read_hex(word)) return hex;
    const auto found = std::lower_bound(std::begin(kNames), std::end(kNames), word,
                                        [](const NamedColour& entry, const std::string& name) {
                                            return std::strcmp(entry.name, name.c_str()) < 0;
                                        });
    if (found != std::end(kNames) && word == found->name) return from_number(found->rgb);
    return std::nullopt;
}

std::vector<std::string> colour_names() {
    std::vector<std::string> names;
    for (const NamedColour& entry : kNames) names.emplace_back(entry.name);
    return names;
}

std::optional<Xy> chromaticity(const Rgb& colour) {
    const double r = expanded(colour.red);
    const double g = expanded(colour.green);
    const double b = expanded(colour.blue);
    const double x = 0.4124564 * r + 0.3575761 * g + 0.1804375 * b;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = 0.0193339 * r + 0.1191920 * g + 0.9503041 * b;
    const double sum = x + y + z;
    if (sum <= 0) return std::nullopt;
    return Xy{x / sum, y / sum};
}

Xy into_gamut(const Xy& point, const Gamut& gamut) {
    const double d1 = cross(gamut.red, gamut.green, point);
    const double d2 = cross(gamut.green, gamut.blue, point);
    const double d3 = cross(gamut.blue, gamut.red, point);
    const bool negative = d1 < 0 || d2 < 0 || d3 < 0;
    const bool positive = d1 > 0 || d2 > 0 || d3 > 0;
    if (!(negative && positive)) return point;  // inside, whichever way the corners turn
    Xy best = nearest_on_segment(gamut.red, gamut.green, point);
    for (const Xy& candidate : {nearest_on_segment(gamut.green, gamut.blue, point),
                                nearest_on_segment(gamut.blue, gamut.red, point)}) {
        if (distance2(candidate, point) < distance2(best, point)) best = candidate;
    }
    return best;
}

double four_decimals(double value) { return std::round(value * 10000) / 10000; }

int mired_of_kelvin(int kelvin) {
    return static_cast<int>(std::lround(1000000.0 / static_cast<double>(kelvin)));
}

}  // namespace Util

namespace Util {

int kelvin_of_mired(int mired) {
    return static_cast<int>(std::lround(10000.0 / static_cast<double>(mired))) * 100;
}

Xy white_of_kelvin(double kelvin) {
    // The cubic approximation of the locus by Kim et al.
    const double t = std::clamp(kelvin, 1667.0, 25000.0);
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double x = t <= 4000 ? -0.2661239e9 / t3 - 0.2343589e6 / t2 + 0.8776956e3 / t + 0.179910
                               : -3.0258469e9 / t3 + 2.1070379e6 / t2 + 0.2226347e3 / t + 0.240390;
    const double x2 = x * x;
    const double x3 = x2 * x;
    double y;
    if (t <= 2222) {
        y = -1.1063814 * x3 - 1.34811020 * x2 + 2.18555832 * x - 0.20219683;
    } else if (t <= 4000) {
        y = -0.9549476 * x3 - 1.37418593 * x2 + 2.09137015 * x - 0.16748867;
    } else {
        y = 3.0817580 * x3 - 5.87338670 * x2 + 3.75112997 * x - 0.37001483;
    }
    return {x, y};
}

std::optional<Rgb> colour_of_chromaticity(const Xy& point) {
    if (point.y <= 0) return std::nullopt;
    const double x = point.x / point.y;
    const double z = (1 - point.x - point.y) / point.y;
    const double linear[3] = {
        std::max(0.0, 3.2404542 * x - 1.5371385 - 0.4985314 * z),
        std::max(0.0, -0.9692660 * x + 1.8760108 + 0.0415560 * z),
        std::max(0.0, 0.0556434 * x - 0.2040259 + 1.0572252 * z),
    };
    const double top = *std::max_element(std::begin(linear), std::end(linear));
    if (top <= 0) return std::nullopt;
    return Rgb{compressed(linear[0] / top), compressed(linear[1] / top),
               compressed(linear[2] / top)};
}

Rgb colour_of_hue(std::uint16_t hue, unsigned sat) {
    const double s = std::min(sat, 254u) / 254.0;
    const double h = hue / 65536.0 * 6;  // sixths of the wheel
    const int sector = static_cast<int>(h);
    const double f = h - sector;
    const double p = 1 - s;
    const double q = 1 - s * f;
    const double t = 1 - s * (1 - f);
    const double sectors[6][3] = {{1, t, p}, {q, 1, p}, {p, 1, t}, {p, q, 1}, {t, p, 1}, {1, p, q}};
    const double* c = sectors[sector % 6];
    const auto byte = [](double v) { return static_cast<std::uint8_t>(std::lround(v * 255)); };
    return {byte(c[0]), byte(c[1]), byte(c[2])};
}

std::string nearest_colour_name(const Rgb& colour) {
    const Lab target = lab_of(colour);
    const char* best = kNames[0].name;
    double best_distance = -1;
    for (const NamedColour& entry : kNames) {
        const Lab lab = lab_of(from_number(entry.rgb));
        const double d = (lab.l - target.l) * (lab.l - target.l) +
                         (lab.a - target.a) * (lab.a - target.a) +
                         (lab.b - target.b) * (lab.b - target.b);
        if (best_distance < 0 || d < best_distance) {
            best = entry.name;
            best_distance = d;
        }
    }
    return best;
}

std::string hex_text(const Rgb& colour) {
    return lower_case("#" + hex_byte(colour.red) + hex_byte(colour.green) + hex_byte(colour.blue));
}

}  // namespace Util
