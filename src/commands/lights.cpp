#include "commands/lights.hpp"

#include <chrono>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "access/bridge_selection.hpp"
#include "commands/brief_printouts.hpp"
#include "commands/colour_options.hpp"
#include "commands/groups.hpp"
#include "commands/items.hpp"
#include "commands/newer_light_options.hpp"
#include "commands/output.hpp"
#include "commands/printout_builder.hpp"
#include "commands/progress.hpp"
#include "commands/render.hpp"
#include "commands/state_changes.hpp"
#include "commands/usage_error.hpp"
#include "hue/bridge.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "util/printable.hpp"

namespace Commands {
namespace {

const char kOneLightToRename[] = "Error: --name renames one light; give --id one light.";

// The lights `given` (an --id value) names, each once, in order: the light
// whose id or whole name is `given`, else the light of each item of its
// comma-separated list. Throws std::runtime_error "Error: no light with id X."
// for an item that names no light of `lights`, before anything is sent.
std::vector<Hue::Light> named_lights(const Hue::Lights& lights, const std::string& given) {
    std::vector<std::string> items{given};
    const std::string whole = id_named(lights, given, "light");
    if (given.find(',') != std::string::npos && !holds_item(lights, whole)) {
        items.clear();
        std::size_t start = 0;
        for (std::size_t comma; (comma = given.find(',', start)) != std::string::npos;
             start = comma + 1) {
            items.push_back(given.substr(start, comma - start));
        }
        items.push_back(given.substr(start));
    }
    std::vector<Hue::Light> named;
    for (const std::string& item : items) {
        Hue::Light light = find_item(lights, id_named(lights, item, "light"), "light");
        bool again = false;
        for (const auto& other : named) again = again || other.id() == light.id();
        if (!again) named.push_back(light);
    }
    return named;
}

// Changes every light of the bridge with one command to group 0, then prints
// the lights as the bridge reports them.
void change_every_light(const LightOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output) {
    const auto& [bridge, identity] = std::tie(target.bridge, target.identity);
    const std::vector<NewerChange> newer =
        newer_changes(options, "grouped_light", {{"/groups/0", "every light"}}, settings, target);
    Hue::Group every = bridge.groups_resource(settings.client, identity).all_lights();
    every.set_action(group_action(every, options, output), fields_given(options));
    every.save_action(options.trans.value_or(0));
    for (const NewerChange& change : newer) send_newer(change, settings, target);
    const Hue::Lights lights = bridge.get_lights(settings.client, identity);
    read_items_given_by_name(lights);
    render(output, lights_printout(lights));
}

// One light with the state a command asks of it and the fields to send
// whatever the light reports.
struct LightChange {
    Hue::Light light;
    Hue::LightState state;
    std::uint32_t always;
};

// The change `options` ask of `light`, read first when the listing named it
// only (old firmware). Throws, before anything is sent, when the light cannot
// show the colour asked for.
LightChange change_of(Hue::Light light, const LightOptions& options, const Output& output) {
    if (!light.whole()) {
        std::this_thread::sleep_for(kItemReadPause);
        light.refresh();
    }
    Hue::LightState state = light.state();
    const std::uint32_t colour = apply_colour_options(options, colour_target(light), output, state);
    apply_state_options(options, state);
    // An alert is an event, not a state: one asked for is sent even when the
    // light still reports the last one. Other fields are sent when they differ,
    // and a colour asked for when the light is in another colour mode.
    const bool alert = options.alert && *options.alert != "none";
    return {light, state, (alert ? Hue::LightField::alert : 0u) | colour};
}

}  // namespace

void run_lights_command(const LightsOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output) {
    const auto& [bridge, identity] = std::tie(target.bridge, target.identity);
    Hue::Lights lights = bridge.get_lights(settings.client, identity);
    if (options.find) {
        lights.search();
        output.note("Searching for new lights...");
        Countdown("Searching for new lights", settings.find_wait).wait_out();
        lights = bridge.get_new_lights(settings.client, identity);
    } else {
        read_items_given_by_name(lights);
    }
    if (options.brief && !output.json()) {
        print_brief(output.out(), lights_brief(lights, settings.colour));
    } else {
        render(output, lights_printout(lights));
    }
}

void check_light_options(const LightOptions& options) {
    check_state_options(options);
    check_newer_options(options, options.id == kEveryLight);
    if (options.id == kEveryLight && options.name) throw UsageError(kOneLightToRename);
}

void run_light_command(const LightOptions& options, const Settings& settings,
                       const Access::Target& target, const Output& output) {
    require_newer(options, target);
    if (options.id == kEveryLight) {
        change_every_light(options, settings, target, output);
        return;
    }
    const auto& [bridge, identity] = std::tie(target.bridge, target.identity);
    const Hue::Lights lights = bridge.get_lights(settings.client, identity);
    const std::vector<Hue::Light> named = named_lights(lights, options.id);
    if (options.name && named.size() > 1) throw UsageError(kOneLightToRename);
    // Every light is checked before the first is changed.
    // An effect beyond the older ones goes over the newer interface alone.
    LightOptions older = options;
    if (newer_effect(options)) older.effect.reset();
    std::vector<LightChange> changes;
    std::vector<NewerItem> items;
    for (const Hue::Light& light : named) {
        changes.push_back(change_of(light, older, output));
        items.push_back({"/lights/" + light.id(), "light " + Util::printable(light.id()) + " (" +
                                                      Util::printable(light.name()) + ")"});
    }
    const std::vector<NewerChange> newer = newer_changes(options, "light", items, settings, target);
    LightsPrintout printout;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        // Light commands go at the pace a bridge takes (Hue::paced).
        Hue::Light& light = changes[i].light;
        if (options.name) {
            light.set_name(*options.name);
            light.save_name();
        }
        light.set_state(changes[i].state, changes[i].always);
        if (light.save_state(options.trans.value_or(0)) && !light.state().reachable) {
            output.err() << "Note: light " << Util::printable(light.id()) << " ("
                         << Util::printable(light.name())
                         << ") is unreachable; the bridge took the change, but the light may "
                            "not show it."
                         << std::endl;
        }
        if (!newer.empty()) send_newer(newer[i], settings, target);
        light.refresh();
        printout.lights.push_back(light_printout(light));
    }
    render(output, printout);
}

}  // namespace Commands
