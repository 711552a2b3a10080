#include "commands/colour_options.hpp"

#include <algorithm>
#include <locale>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "commands/usage_error.hpp"
#include "hue/groups.hpp"

namespace Commands {
namespace {

// A number 0-1 written with digits and at most one point ("0.3127", ".5",
// "1"), nothing else.
std::optional<double> read_unit(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(text.begin(), text.end(), '.') > 1 || text == ".") {
        return std::nullopt;
    }
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double value = 0;
    in >> value;
    if (!in || value > 1) return std::nullopt;
    return value;
}

// "color, color temperature and brightness".
std::string can_do(const ColourTarget& target) {
    std::vector<std::string> things;
    if (target.colour) things.push_back("color");
    if (target.temperature) things.push_back("color temperature");
    if (target.brightness) things.push_back("brightness");
    if (things.empty()) return "it can only be turned on and off";
    std::string text = "it can do ";
    for (std::size_t i = 0; i < things.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == things.size() ? " and " : ", ") + things[i];
    }
    return text;
}

[[noreturn]] void cannot_show(const ColourTarget& target, const char* what) {
    throw std::runtime_error("Error: " + target.what + " cannot show " + what + "; " +
                             can_do(target) + ".");
}

}  // namespace

Util::Xy colour_point(const std::string& text) {
    const auto rgb = Util::read_colour(text);
    if (!rgb) {
        throw UsageError(
            "Error: option 'color' must be #rrggbb, rrggbb, rgb(R,G,B) or a color name.");
    }
    const auto xy = Util::chromaticity(*rgb);
    if (!xy) throw UsageError("Error: black is no color; turn lights off with --off.");
    return *xy;
}

Util::Xy xy_point(const std::string& text) {
    const std::size_t comma = text.find(',');
    const auto x = comma == std::string::npos ? std::nullopt : read_unit(text.substr(0, comma));
    const auto y = comma == std::string::npos ? std::nullopt : read_unit(text.substr(comma + 1));
    if (!x || !y) {
        throw UsageError("Error: option 'xy' must be two numbers 0-1, as --xy=0.3127,0.329.");
    }
    return Util::Xy{*x, *y};
}

void check_state_options(const StateOptions& changes) {
    // The ways of giving a colour, each with the option that names it and
    // whether it is one of the options in human terms: hue and saturation make
    // one colour together, and "--hue" with "--ct" stays as it always was,
    // both sent for the bridge to choose.
    const struct {
        bool given;
        const char* name;
        bool human;
    } ways[] = {
        {bool(changes.color), "--color", true},
        {bool(changes.xy), "--xy", true},
        {changes.hue || changes.sat, changes.hue ? "--hue" : "--sat", false},
        {bool(changes.kelvin), "--kelvin", true},
        {bool(changes.ct), "--ct", false},
    };
    const char* first = nullptr;
    bool human = false;
    for (const auto& way : ways) {
        if (!way.given) continue;
        if (first != nullptr && (human || way.human)) {
            throw UsageError(std::string("Error: options ") + first + " and " + way.name +
                             " exclude each other.");
        }
        if (first == nullptr) first = way.name;
        human = human || way.human;
    }
    if (changes.toggle && (changes.on || changes.off)) {
        throw UsageError(std::string("Error: options --toggle and ") +
                         (changes.on ? "--on" : "--off") + " exclude each other.");
    }
    if (changes.on && changes.off) {
        throw UsageError("Error: options --on and --off exclude each other.");
    }
}

ColourTarget colour_target(const Hue::Light& light) {
    ColourTarget target;
    target.what = "light " + light.id() + " (" + light.name() + ")";
    const auto capabilities = light.capabilities();
    const std::uint32_t keys = light.reported_fields();
    const bool gamut = capabilities && capabilities->gamut;
    const bool range = capabilities && capabilities->ct;
    target.colour = gamut || (keys & (Hue::LightField::xy | Hue::LightField::hue)) != 0;
    target.temperature = range || (keys & Hue::LightField::ct) != 0;
    target.brightness = (keys & Hue::LightField::bri) != 0;
    if (gamut) target.gamut = *capabilities->gamut;
    if (range) target.ct = *capabilities->ct;
    return target;
}

ColourTarget colour_target(const Hue::Group& group) {
    ColourTarget target;
    target.what = "group " + group.id() + " (" + group.name() + ")";
    return target;
}

std::uint32_t apply_colour_options(const StateOptions& changes, const ColourTarget& target,
                                   const Output& output, Hue::LightFields& fields) {
    if (const auto& point = changes.color ? changes.color : changes.xy) {
        if (!target.colour) cannot_show(target, "color");
        const Util::Xy xy = Util::into_gamut(*point, target.gamut);
        // Rounded where they are sent.
        fields.x = static_cast<float>(xy.x);
        fields.y = static_cast<float>(xy.y);
        return fields.colormode == Hue::ColorMode::xy ? 0u : std::uint32_t{Hue::LightField::xy};
    }
    if (changes.kelvin) {
        if (!target.temperature) cannot_show(target, "color temperature");
        const int ct = Util::mired_of_kelvin(*changes.kelvin);
        const int held = std::clamp<int>(ct, target.ct.min, target.ct.max);
        if (held != ct) {
            output.err() << "Note: " << *changes.kelvin << " K is ct " << ct << ", outside ct "
                         << target.ct.min << "-" << target.ct.max << " of " << target.what
                         << "; sent ct " << held << "." << std::endl;
        }
        fields.ct = static_cast<std::uint16_t>(held);
        return fields.colormode == Hue::ColorMode::ct ? 0u : std::uint32_t{Hue::LightField::ct};
    }
    return 0;
}

}  // namespace Commands
