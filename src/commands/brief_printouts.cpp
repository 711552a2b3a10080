#include "commands/brief_printouts.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <vector>

#include "commands/printout_builder.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "hue/schedule_time.hpp"
#include "json/parse.hpp"
#include "json/text.hpp"
#include "util/colour.hpp"
#include "util/printable.hpp"
#include "util/text.hpp"

namespace Commands {
namespace {

const char kNone[] = "-";

// The member list is given as a count beyond this many columns.
constexpr std::size_t kMembersWidth = 32;

// What a light's colour cell shows, and the colour of its swatch (none: a
// light without colour).
struct ShownColour {
    std::string text = kNone;
    std::optional<Util::Rgb> rgb;
};

ShownColour shown_colour(const std::optional<ColorPrintout>& color) {
    ShownColour shown;
    if (!color || !color->mode) return shown;
    if (*color->mode == "ct" && color->ct.value_or(0) > 0) {
        shown.text = std::to_string(Util::kelvin_of_mired(*color->ct)) + " K";
        shown.rgb = Util::colour_of_chromaticity(Util::white_of_kelvin(1e6 / *color->ct));
        return shown;
    }
    if (*color->mode == "xy" && color->x && color->y) {
        shown.rgb = Util::colour_of_chromaticity({*color->x, *color->y});
    } else if (*color->mode == "hs" && color->hue && color->sat) {
        shown.rgb = Util::colour_of_hue(*color->hue, *color->sat);
    }
    if (shown.rgb) {
        shown.text = Util::nearest_colour_name(*shown.rgb) + " " + Util::hex_text(*shown.rgb);
    }
    return shown;
}

// "██ " in `colour` (24-bit foreground), then the plain colours again.
std::string swatch(const Util::Rgb& colour) {
    char escape[32];
    std::snprintf(escape, sizeof escape, "\x1b[38;2;%d;%d;%dm", colour.red, colour.green,
                  colour.blue);
    return std::string(escape) + "██\x1b[0m ";
}

// The swatch colour of a light: `shown` (white when none) dimmed by `bri`,
// yet never so far that a dim light vanishes; grey when it is off.
Util::Rgb swatch_colour(const std::optional<Util::Rgb>& shown, std::optional<unsigned> bri,
                        bool on) {
    if (!on) return {0x60, 0x60, 0x60};
    const Util::Rgb base = shown.value_or(Util::Rgb{255, 255, 255});
    const double factor = 0.25 + 0.75 * std::min(bri.value_or(254), 254u) / 254.0;
    const auto dim = [factor](std::uint8_t c) {
        return static_cast<std::uint8_t>(std::lround(c * factor));
    };
    return {dim(base.red), dim(base.green), dim(base.blue)};
}

std::string percent(unsigned bri) {
    long value = std::lround(bri * 100.0 / 254);
    if (bri > 0) value = std::clamp(value, 1L, 100L);
    return std::to_string(value) + "%";
}

std::string or_none(const std::optional<std::string>& text) {
    return text ? Util::printable(*text) : kNone;
}

// Each light's name by its id.
std::map<std::string, std::string> light_names(const Hue::Lights& lights) {
    std::map<std::string, std::string> names;
    for (const auto& light : lights) names.emplace(light.id(), light.name());
    return names;
}

// The members' names (an id not among `names` as it is), ", " apart; "N
// lights" when that is longer than kMembersWidth; "-" for none.
std::string members(const std::vector<std::string>& ids,
                    const std::map<std::string, std::string>& names) {
    if (ids.empty()) return kNone;
    std::string text;
    for (const std::string& id : ids) {
        const auto found = names.find(id);
        if (!text.empty()) text += ", ";
        text += Util::printable(found != names.end() ? found->second : id);
    }
    if (Util::code_points(text) <= kMembersWidth) return text;
    return std::to_string(ids.size()) + (ids.size() == 1 ? " light" : " lights");
}

std::string clock(const std::tm& time, bool seconds) {
    char text[16];
    if (seconds) {
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.tm_hour, time.tm_min, time.tm_sec);
    } else {
        std::snprintf(text, sizeof text, "%02d:%02d", time.tm_hour, time.tm_min);
    }
    return text;
}

// A time of day: seconds only when there are any.
std::string time_of_day(const std::tm& time) { return clock(time, time.tm_sec != 0); }

std::string date(const std::tm& time) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", time.tm_year + 1900, time.tm_mon + 1,
                  time.tm_mday);
    return text;
}

// The days of a weekly time (bit 6 Monday ... bit 0 Sunday), empty for none.
std::string days(const std::bitset<8>& mask) {
    const unsigned bits = static_cast<unsigned>(mask.to_ulong()) & 0x7f;
    if (bits == 0x7f) return "every day at";
    if (bits == 0x7c) return "weekdays";
    if (bits == 0x03) return "weekends";
    static const char* const kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    std::string text;
    for (int day = 0; day < 7; ++day) {
        if ((bits & (0x40u >> day)) == 0) continue;
        if (!text.empty()) text += ",";
        text += kDays[day];
    }
    return text;
}

// The action of a schedule's command: "group 0: on=false" for a state or
// action change of a light, group or sensor, else its method and address;
// the command as written when it is no command.
std::string action_words(const std::string& command) {
    try {
        const Json::Value value = Json::parse(command, "the command");
        const std::string& address = Json::as_string(Json::at(value, "address"));
        const std::string& method = Json::as_string(Json::at(value, "method"));
        // "/api/USER/groups/0/action"
        std::vector<std::string> parts;
        for (std::size_t start = 1, slash; start <= address.size(); start = slash + 1) {
            slash = address.find('/', start);
            if (slash == std::string::npos) slash = address.size();
            parts.push_back(address.substr(start, slash - start));
        }
        // The user name in the address is a credential: left out.
        std::string path = address;
        if (parts.size() > 2 && parts[0] == "api") {
            path.clear();
            for (std::size_t i = 2; i < parts.size(); ++i) path += "/" + parts[i];
        }
        std::string target = method + " " + path;
        static const struct {
            const char* collection;
            const char* leaf;
            const char* word;
        } kTargets[] = {{"groups", "action", "group"},
                        {"lights", "state", "light"},
                        {"sensors", "state", "sensor"}};
        for (const auto& known : kTargets) {
            if (method == "PUT" && parts.size() == 5 && parts[0] == "api" &&
                parts[2] == known.collection && parts[4] == known.leaf) {
                target = std::string(known.word) + " " + parts[3];
            }
        }
        std::string body;
        if (const Json::Value* fields = Json::find(value, "body"); fields && fields->is_object()) {
            for (const auto& [name, field] : Json::as_object(*fields)) {
                if (!body.empty()) body += " ";
                body +=
                    name + "=" + (field.is_string() ? Json::as_string(field) : Json::text(field));
            }
        }
        return Util::printable(body.empty() ? target : target + ": " + body);
    } catch (const std::exception&) {
        return command.empty() || command == "{}" ? kNone : Util::printable(command);
    }
}

BriefTable table(std::vector<std::string> header) { return BriefTable{std::move(header), {}}; }

}  // namespace

std::string schedule_time_words(const std::string& text) {
    Hue::ScheduleTime time;
    time.parse_time(text);
    if (time.kind == Hue::ScheduleTimeKind::none) return kNone;
    if (!time.understood()) return Util::printable(text);
    std::string words;
    switch (time.kind) {
        case Hue::ScheduleTimeKind::absolute:
            words = "once " + date(time.time) + " " + time_of_day(time.time);
            break;
        case Hue::ScheduleTimeKind::weekly:
            if (days(time.weekdays).empty()) return Util::printable(text);
            words = days(time.weekdays) + " " + time_of_day(time.time);
            break;
        case Hue::ScheduleTimeKind::timer:
            words = "in " + clock(time.time, true);
            break;
        case Hue::ScheduleTimeKind::recurring:
            if (time.count > 0) {
                words = std::to_string(time.count) + (time.count == 1 ? " time " : " times ");
            }
            words += "every " + clock(time.time, true);
            break;
        case Hue::ScheduleTimeKind::none:
            break;
    }
    const std::tm& random = time.random;
    if (random.tm_hour != 0 || random.tm_min != 0 || random.tm_sec != 0) {
        words += " random " + clock(random, true);
    }
    return words;
}

BriefTable lights_brief(const Hue::Lights& lights, bool swatches) {
    BriefTable brief = table({"ID", "NAME", "POWER", "BRIGHTNESS", "COLOUR", "REACHABLE", "TYPE"});
    for (const auto& light : lights) {
        const LightPrintout printout = light_printout(light);
        const LightStatePrintout& state = printout.state;
        const bool has_bri = (light.reported_fields() & Hue::LightField::bri) != 0;
        const std::optional<unsigned> bri = has_bri ? state.bri : std::nullopt;
        const ShownColour shown = shown_colour(state.color);
        std::string colour = shown.text;
        if (swatches && state.on) {
            colour = swatch(swatch_colour(shown.rgb, bri, *state.on)) + colour;
        }
        brief.rows.push_back(
            {Util::printable(printout.id), brief_name(printout.name),
             state.on ? (*state.on ? "on" : "off") : kNone, bri ? percent(*bri) : kNone, colour,
             state.reachable == false ? "unreachable" : "", or_none(printout.type)});
    }
    return brief;
}

BriefTable groups_brief(const Hue::Groups& groups, const Hue::Lights& lights) {
    // Whether each light whose state is known is on.
    std::map<std::string, bool> on;
    for (const auto& light : lights) {
        if (light.whole()) on.emplace(light.id(), light.state().on);
    }
    const auto names = light_names(lights);
    BriefTable brief = table({"ID", "NAME", "TYPE", "CLASS", "LIGHTS", "POWER"});
    for (const auto& group : groups) {
        std::size_t known = 0;
        std::size_t lit = 0;
        for (const std::string& id : group.lights()) {
            const auto found = on.find(id);
            if (found == on.end()) continue;
            ++known;
            if (found->second) ++lit;
        }
        std::string power = kNone;
        if (known > 0) {
            power = lit == 0 ? "off" : lit == known ? "all on" : "some on";
        } else if (const auto any_on = group.any_on()) {
            power = *any_on ? "on" : "off";
        }
        brief.rows.push_back({Util::printable(group.id()), brief_name(group.name()),
                              or_none(group.type()), or_none(group.group_class()),
                              members(group.lights(), names), power});
    }
    return brief;
}

BriefTable schedules_brief(const SchedulesPrintout& schedules) {
    BriefTable brief = table({"ID", "NAME", "STATUS", "WHEN", "ACTION"});
    for (const auto& schedule : schedules.schedules) {
        brief.rows.push_back({Util::printable(schedule.id), brief_name(schedule.name),
                              or_none(schedule.status),
                              schedule_time_words(schedule.time.value_or(std::string())),
                              action_words(schedule.command.value_or(std::string()))});
    }
    return brief;
}

BriefTable scenes_brief(const ScenesPrintout& scenes, const Hue::Lights& lights) {
    const auto names = light_names(lights);
    BriefTable brief = table({"ID", "NAME", "GROUP", "LIGHTS", "UPDATED"});
    for (const auto& scene : scenes.scenes) {
        std::string updated = kNone;
        if (scene.lastupdated) {
            updated = date(*scene.lastupdated) + " " + clock(*scene.lastupdated, false);
        }
        brief.rows.push_back({Util::printable(scene.id), brief_name(scene.name),
                              or_none(scene.group), members(scene.lights, names), updated});
    }
    return brief;
}

BriefTable bridges_brief(const BridgesPrintout& bridges) {
    BriefTable brief = table({"ID", "ADDRESS", "MAC"});
    for (const auto& bridge : bridges.bridges) {
        brief.rows.push_back(
            {Util::printable(bridge.id), Util::printable(bridge.address), or_none(bridge.mac)});
    }
    return brief;
}

}  // namespace Commands
