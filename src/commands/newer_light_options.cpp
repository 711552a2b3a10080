#include "commands/newer_light_options.hpp"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string_view>

#include "access/credentials_file.hpp"
#include "commands/colour_options.hpp"
#include "commands/usage_error.hpp"
#include "http/endpoint.hpp"
#include "hue/v2/resource_change.hpp"
#include "json/text.hpp"
#include "util/colour.hpp"
#include "util/printable.hpp"

namespace Commands {
namespace {

constexpr std::int64_t kLongestTimedEffect = 6 * 3600;  // seconds
constexpr std::uint16_t kSignalSeconds = 10;

// The number of colours each signal takes.
std::size_t signal_colours(const std::string& signal) {
    return signal == "on_off_color" ? 1 : signal == "alternating" ? 2 : 0;
}

// The timed effect asked for ("sunrise", "sunset") and its duration text.
std::pair<const char*, const std::string*> timed_effect(const StateOptions& options) {
    if (options.sunrise) return {"sunrise", &*options.sunrise};
    if (options.sunset) return {"sunset", &*options.sunset};
    return {nullptr, nullptr};
}

// The texts of a JSON array of texts, comma-separated.
std::string listed(const Json::Value* values) {
    std::string text;
    if (values != nullptr && values->is_array()) {
        for (const auto& value : *values) {
            if (!value.is_string()) continue;
            text += (text.empty() ? "" : ", ") + Util::printable(Json::as_string(value));
        }
    }
    return text.empty() ? "nothing of the kind" : text;
}

const Json::Value* member(const Json::Value& object, const char* block, const char* key) {
    const Json::Value* found = Json::find(object, block);
    return found != nullptr && found->is_object() ? Json::find(*found, key) : nullptr;
}

bool holds(const Json::Value* values, const std::string& word) {
    return values != nullptr && values->is_array() &&
           std::any_of(values->begin(), values->end(),
                       [&](const Json::Value& v) { return v.is_string() && v == word; });
}

// Refuses `asked` of `what` unless `values` holds `word`.
void need(const Json::Value* values, const std::string& word, const std::string& what,
          const std::string& asked) {
    if (holds(values, word)) return;
    throw std::runtime_error("Error: " + what + " cannot do " + asked +
                             "; it can do: " + listed(values) + ".");
}

// The colour triangle the newer resource reports, else the widest.
Util::Gamut gamut_of(const Json::Value& resource) {
    const Json::Value* gamut = member(resource, "color", "gamut");
    Util::Gamut result = Util::kWidestGamut;
    if (gamut == nullptr || !gamut->is_object()) return result;
    const auto corner = [&](const char* name, Util::Xy& into) {
        const Json::Value* point = Json::find(*gamut, name);
        const Json::Value* x = point != nullptr ? Json::find(*point, "x") : nullptr;
        const Json::Value* y = point != nullptr ? Json::find(*point, "y") : nullptr;
        if (x != nullptr && y != nullptr && x->is_number() && y->is_number()) {
            into = {Json::as_double(*x), Json::as_double(*y)};
        }
    };
    corner("red", result.red);
    corner("green", result.green);
    corner("blue", result.blue);
    return result;
}

// {"color": {"xy": {...}}} of `point`, moved into `gamut`.
Json::Value colour_of(const Util::Xy& point, const Util::Gamut& gamut) {
    const Util::Xy shown = Util::into_gamut(point, gamut);
    Json::Value xy = Json::Value::object();
    xy["x"] = Json::decimal(shown.x, 4);
    xy["y"] = Json::decimal(shown.y, 4);
    Json::Value colour = Json::Value::object();
    colour["xy"] = xy;
    return colour;
}

// The body of the PUT `options` ask of `resource`, each block checked
// against what it reports.
Json::Value body_for(const StateOptions& options, const Json::Value& resource,
                     const std::string& what) {
    Json::Value body = Json::Value::object();
    if (newer_effect(options)) {
        need(member(resource, "effects", "effect_values"), *options.effect, what,
             "--effect=" + Util::printable(*options.effect));
        body["effects"]["effect"] = *options.effect;
    }
    if (const auto [effect, text] = timed_effect(options); effect != nullptr) {
        need(member(resource, "timed_effects", "effect_values"), effect, what,
             std::string("--") + effect);
        body["timed_effects"]["effect"] = effect;
        body["timed_effects"]["duration"] = duration_ms(*text, effect);
    }
    const Util::Gamut gamut = gamut_of(resource);
    if (options.gradient) {
        const Json::Value* capable = member(resource, "gradient", "points_capable");
        const std::vector<Util::Xy> colours = colour_list(*options.gradient);
        if (capable == nullptr || !Json::is_integer(*capable) || Json::as_int64(*capable) < 2) {
            throw std::runtime_error("Error: " + what +
                                     " cannot do --gradient; it shows one colour.");
        }
        if (static_cast<std::int64_t>(colours.size()) > Json::as_int64(*capable)) {
            throw std::runtime_error("Error: " + what + " cannot do --gradient of " +
                                     std::to_string(colours.size()) + " colours; it can do 2 to " +
                                     std::to_string(Json::as_int64(*capable)) + ".");
        }
        Json::Value points = Json::Value::array();
        for (const Util::Xy& colour : colours) {
            Json::Value point = Json::Value::object();
            point["color"] = colour_of(colour, gamut);
            points.push_back(point);
        }
        body["gradient"]["points"] = points;
    }
    if (options.signal) {
        need(member(resource, "signaling", "signal_values"), *options.signal, what,
             "--signal=" + *options.signal);
        Json::Value& signaling = body["signaling"] = Json::Value::object();
        signaling["signal"] = *options.signal;
        signaling["duration"] = std::int64_t{options.signal_for.value_or(kSignalSeconds)} * 1000;
        if (options.signal_colors) {
            Json::Value& colours = signaling["colors"] = Json::Value::array();
            for (const Util::Xy& colour : colour_list(*options.signal_colors)) {
                colours.push_back(colour_of(colour, gamut));
            }
        }
    }
    return body;
}

[[noreturn]] void refuse_older(const StateOptions& options, const Access::Target& target) {
    if (newer_effect(options))
        throw UsageError("Error: option 'effect' must be none or colorloop.");
    throw std::runtime_error("Error: the bridge at " +
                             Http::location_text(target.bridge.endpoint()) +
                             " has no newer interface; " + newer_option(options) + " needs it.");
}

}  // namespace

bool newer_effect(const StateOptions& options) {
    return options.effect && *options.effect != "none" && *options.effect != "colorloop";
}

std::string newer_option(const StateOptions& options) {
    if (newer_effect(options)) return "--effect=" + Util::printable(*options.effect);
    if (options.sunrise) return "--sunrise";
    if (options.sunset) return "--sunset";
    if (options.gradient) return "--gradient";
    if (options.signal) return "--signal";
    return std::string();
}

std::int64_t duration_ms(const std::string& text, const char* option) {
    std::int64_t seconds = 0;
    bool plain = !text.empty() && std::all_of(text.begin(), text.end(),
                                              [](unsigned char c) { return std::isdigit(c) != 0; });
    bool read = plain && text.size() <= 6;
    if (read) seconds = std::stoll(text);
    // Otherwise hours, minutes and seconds, each at most once, in that order: "1h30m".
    const std::string_view units = "hms";
    const std::int64_t sizes[] = {3600, 60, 1};
    std::size_t at = 0;
    for (std::size_t unit = 0; !plain && unit < units.size() && at < text.size(); ++unit) {
        read = false;
        std::size_t end = at;
        while (end < text.size() && end - at < 6 &&
               std::isdigit(static_cast<unsigned char>(text[end])) != 0) {
            ++end;
        }
        if (end == at || end >= text.size()) break;
        unit = units.find(text[end], unit);
        if (unit == std::string_view::npos) break;
        seconds += std::stoll(text.substr(at, end - at)) * sizes[unit];
        at = end + 1;
        read = at == text.size();
    }
    if (!read || seconds < 1 || seconds > kLongestTimedEffect) {
        throw UsageError(
            std::string("Error: option '") + option +
            "' must be a duration of 1s to 6h, e.g. 90s, 30m, 1h30m or 600 (seconds).");
    }
    return seconds * 1000;
}

std::vector<Util::Xy> colour_list(const std::string& text) {
    std::vector<Util::Xy> colours;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || (text[i] == ',' && depth == 0)) {
            colours.push_back(colour_point(text.substr(start, i - start)));
            start = i + 1;
        } else if (text[i] == '(') {
            ++depth;
        } else if (text[i] == ')') {
            depth = std::max(0, depth - 1);
        }
    }
    return colours;
}

void check_newer_options(const StateOptions& options, bool group) {
    if (options.sunrise && options.sunset) {
        throw UsageError("Error: give one of --sunrise and --sunset.");
    }
    if (const auto [effect, text] = timed_effect(options); effect != nullptr) {
        duration_ms(*text, effect);
    }
    if (options.gradient && colour_list(*options.gradient).size() < 2) {
        throw UsageError("Error: option --gradient takes two colours or more.");
    }
    if ((options.signal_colors || options.signal_for) && !options.signal) {
        throw UsageError("Error: options --signal-colors and --signal-for go with --signal.");
    }
    if (options.signal) {
        const std::size_t wanted = signal_colours(*options.signal);
        const std::size_t given =
            options.signal_colors ? colour_list(*options.signal_colors).size() : 0;
        if (given != wanted) {
            throw UsageError("Error: --signal=" + *options.signal + " takes " +
                             (wanted == 0   ? "no colours"
                              : wanted == 1 ? "one colour"
                                            : "two colours") +
                             " in --signal-colors.");
        }
    }
    if (group) {
        StateOptions lights_only = options;
        lights_only.signal.reset();
        const std::string option = newer_option(lights_only);
        if (!option.empty()) {
            throw UsageError(
                "Error: " + option +
                " is for lights one by one; a group or all lights take --signal only.");
        }
    }
}

void require_newer(const StateOptions& options, const Access::Target& target) {
    if (newer_option(options).empty()) return;
    const auto entry = target.credentials->find_entry(target.bridge);
    if (!entry || !entry->newer) refuse_older(options, target);
}

std::vector<NewerChange> newer_changes(const StateOptions& options, const std::string& type,
                                       const std::vector<NewerItem>& items,
                                       const Settings& settings, const Access::Target& target) {
    std::vector<NewerChange> changes;
    if (newer_option(options).empty()) return changes;
    Json::Value resources;
    try {
        resources =
            Hue::V2::read_resources(target.bridge, target.identity.user_id, type, settings.client);
    } catch (const Http::Failure& failure) {
        if (failure.status() != 404) throw;
        target.credentials->set_newer(target.bridge, false);
        refuse_older(options, target);
    }
    for (const NewerItem& item : items) {
        const Json::Value* resource = Hue::V2::resource_for(resources, item.id_v1);
        if (resource == nullptr) {
            throw std::runtime_error("Error: " + item.what +
                                     " is not among the bridge's newer resources.");
        }
        changes.push_back({type, Json::as_string(Json::at(*resource, "id")),
                           body_for(options, *resource, item.what)});
    }
    return changes;
}

void send_newer(const NewerChange& change, const Settings& settings, const Access::Target& target) {
    Hue::V2::change_resource(target.bridge, target.identity.user_id, change.type, change.id,
                             change.body, settings.client);
}

}  // namespace Commands
