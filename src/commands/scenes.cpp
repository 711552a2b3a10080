#include "commands/scenes.hpp"

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands/brief_printouts.hpp"
#include "commands/items.hpp"
#include "commands/printout_builder.hpp"
#include "commands/render.hpp"
#include "commands/usage_error.hpp"
#include "http/endpoint.hpp"
#include "hue/bridge.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "hue/scenes.hpp"
#include "hue/v2/scenes.hpp"
#include "json/text.hpp"
#include "util/digits.hpp"

namespace Commands {
namespace {

// The id of the group to recall `scene` in: its own for a group scene, else
// the one `options` names, else group 0. Only a group given by anything but
// digits costs a read of the groups listing.
std::string recall_group(const Hue::Scene& scene, const SceneOptions& options,
                         const Settings& settings, const Access::Target& target) {
    if (!scene.group().empty()) return scene.group();
    if (!options.group) return Hue::kAllLights;
    if (Util::all_digits(*options.group)) return *options.group;
    const Hue::Groups groups = target.bridge.get_groups(settings.client, target.identity);
    return find_item(groups, id_named(groups, *options.group, "group"), "group").id();
}

// A scene of the newer interface as id_named looks for it, by UUID or name.
struct NewerItem {
    Hue::V2::SceneResource resource;
    const std::string& id() const { return resource.id; }
    const std::string& name() const { return resource.name; }
};

// Whether the credentials entry of the bridge of `target` says it has the
// newer interface.
bool has_newer(const Access::Target& target) {
    const auto entry = target.credentials->find_entry(target.bridge);
    return entry && entry->newer;
}

// Refuses `option` before anything is sent when the bridge has no newer interface.
void require_newer(const Access::Target& target, const char* option) {
    if (has_newer(target)) return;
    throw std::runtime_error("Error: the bridge at " +
                             Http::location_text(target.bridge.endpoint()) +
                             " has no newer interface; " + option + " needs it.");
}

// The --speed of `options`: a decimal number from 0 to 1, or nullopt.
std::optional<double> palette_speed(const SceneOptions& options) {
    if (!options.speed) return std::nullopt;
    const std::string& text = *options.speed;
    const bool decimal = !text.empty() &&
                         text.find_first_not_of("0123456789.") == std::string::npos &&
                         text.find('.') == text.rfind('.') && text != ".";
    // strtod: a run of digits too long for a double reads as infinity, refused below.
    const double speed = decimal ? std::strtod(text.c_str(), nullptr) : -1;
    if (speed < 0 || speed > 1) throw UsageError("Error: option 'speed' must be a number 0-1.");
    return speed;
}

// The resources of `type` of the newer interface; a bridge that answers 404
// has lost it, which its credentials entry then forgets, and `option` is refused.
std::vector<NewerItem> newer_items(const Settings& settings, const Access::Target& target,
                                   const char* type, const char* option) {
    try {
        std::vector<NewerItem> items;
        for (auto& resource :
             Hue::V2::read_scenes(target.bridge, target.identity.user_id, type, settings.client)) {
            items.push_back(NewerItem{std::move(resource)});
        }
        return items;
    } catch (const Http::Failure& failure) {
        if (failure.status() != 404) throw;
        target.credentials->set_newer(target.bridge, false);
        require_newer(target, option);
        throw;
    }
}

// As newer_items, but nothing when the bridge turns out to have lost the
// newer interface, for what also works without it.
std::vector<NewerItem> newer_items_if_any(const Settings& settings, const Access::Target& target,
                                          const char* type) {
    try {
        return newer_items(settings, target, type, type);
    } catch (const std::runtime_error&) {
        if (has_newer(target)) throw;
        return {};
    }
}

// Sends the smart scene `given` names (id or name) the recall `action`.
void recall_smart_scene(const std::vector<NewerItem>& smart, const std::string& given,
                        const char* action, const Settings& settings, const Access::Target& target,
                        const Output& output) {
    const NewerItem item = find_item(smart, id_named(smart, given, "smart scene"), "smart scene");
    const Json::Value body =
        Json::Value::object({{"recall", Json::Value::object({{"action", action}})}});
    Hue::V2::put_resource(target.bridge, target.identity.user_id, "smart_scene", item.id(),
                          Json::text(body), settings.client);
    const std::string done = std::string(action) + "d";
    render(output, ChangePrintout{"Smart scene " + done + ".", done, item.id()});
}

// Plays the palette of the older scene `scene` at `speed`.
void recall_palette(const Hue::Scene& scene, std::optional<double> speed, const Settings& settings,
                    const Access::Target& target) {
    const auto newer = newer_items(settings, target, "scene", "--dynamic");
    for (const auto& item : newer) {
        if (item.resource.id_v1 != "/scenes/" + scene.id()) continue;
        if (!item.resource.palette) break;
        Json::Value body =
            Json::Value::object({{"recall", Json::Value::object({{"action", "dynamic_palette"}})}});
        if (speed) body["speed"] = *speed;
        Hue::V2::put_resource(target.bridge, target.identity.user_id, "scene", item.id(),
                              Json::text(body, Json::Numbers::shortest), settings.client);
        return;
    }
    throw std::runtime_error("Error: scene " + scene.id() + " has no palette.");
}

// Adds to `printout` which scenes have a palette and the smart scenes, when
// the bridge has the newer interface; one that answers 404 has lost it,
// which its credentials entry then forgets, and the printout stays as it is.
void add_newer_scenes(ScenesPrintout& printout, const Settings& settings,
                      const Access::Target& target) {
    if (!has_newer(target)) return;
    const auto scenes = newer_items_if_any(settings, target, "scene");
    if (!has_newer(target)) return;
    const auto smart = newer_items_if_any(settings, target, "smart_scene");
    if (!has_newer(target)) return;
    for (ScenePrintout& scene : printout.scenes) {
        scene.dynamic = false;
        for (const auto& item : scenes) {
            if (item.resource.id_v1 == "/scenes/" + scene.id) scene.dynamic = item.resource.palette;
        }
    }
    printout.smart_scenes.emplace();
    for (const auto& item : smart) {
        printout.smart_scenes->push_back({item.id(), item.name(), item.resource.state});
    }
}

}  // namespace

void run_scenes_command(const BriefListingOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output) {
    ScenesPrintout scenes =
        scenes_printout(target.bridge.get_scenes(settings.client, target.identity));
    if (options.brief && !output.json()) {
        // The members' names come from the lights listing.
        const Hue::Lights lights = target.bridge.get_lights(settings.client, target.identity);
        print_brief(output.out(), scenes_brief(scenes, lights));
        return;
    }
    add_newer_scenes(scenes, settings, target);
    render(output, scenes);
}

void run_scene_command(const SceneOptions& options, const Settings& settings,
                       const Access::Target& target, const Output& output) {
    const std::optional<double> speed = palette_speed(options);
    if (speed && !options.dynamic) throw UsageError("Error: --speed goes with --dynamic.");
    if (options.dynamic && options.off) {
        throw UsageError("Error: --dynamic and --off do not go together.");
    }
    if (options.off) {
        require_newer(target, "--off");
        const auto smart = newer_items(settings, target, "smart_scene", "--off");
        recall_smart_scene(smart, options.id, "deactivate", settings, target, output);
        return;
    }
    if (options.dynamic) require_newer(target, "--dynamic");
    const Hue::Scenes scenes = target.bridge.get_scenes(settings.client, target.identity);
    const std::string id = id_named(scenes, options.id, "scene");
    // A name no scene has may be a smart scene's, which only the newer interface lists.
    if (!holds_item(scenes, id) && !options.dynamic && has_newer(target)) {
        const auto smart = newer_items_if_any(settings, target, "smart_scene");
        if (holds_item(smart, id_named(smart, options.id, "smart scene"))) {
            recall_smart_scene(smart, options.id, "activate", settings, target, output);
            return;
        }
    }
    const Hue::Scene scene = find_item(scenes, id, "scene");
    if (options.dynamic) {
        recall_palette(scene, speed, settings, target);
        render(output, ChangePrintout{"Scene recalled.", "recalled", scene.id()});
        return;
    }
    const std::string group = recall_group(scene, options, settings, target);
    target.bridge.groups_resource(settings.client, target.identity).recall_scene(group, scene.id());
    render(output, ChangePrintout{"Scene recalled.", "recalled", scene.id()});
}

}  // namespace Commands
