#include "commands/scenes.hpp"

#include <string>

#include "commands/brief_printouts.hpp"
#include "commands/items.hpp"
#include "commands/printout_builder.hpp"
#include "commands/render.hpp"
#include "hue/bridge.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "hue/scenes.hpp"
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

}  // namespace

void run_scenes_command(const BriefListingOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output) {
    const ScenesPrintout scenes =
        scenes_printout(target.bridge.get_scenes(settings.client, target.identity));
    if (options.brief && !output.json()) {
        // The members' names come from the lights listing.
        const Hue::Lights lights = target.bridge.get_lights(settings.client, target.identity);
        print_brief(output.out(), scenes_brief(scenes, lights));
        return;
    }
    render(output, scenes);
}

void run_scene_command(const SceneOptions& options, const Settings& settings,
                       const Access::Target& target, const Output& output) {
    const Hue::Scenes scenes = target.bridge.get_scenes(settings.client, target.identity);
    const Hue::Scene scene = find_item(scenes, id_named(scenes, options.id, "scene"), "scene");
    const std::string group = recall_group(scene, options, settings, target);
    target.bridge.groups_resource(settings.client, target.identity).recall_scene(group, scene.id());
    render(output, ChangePrintout{"Scene recalled.", "recalled", scene.id()});
}

}  // namespace Commands
