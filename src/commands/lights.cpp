#include "commands/lights.hpp"

#include <chrono>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>

#include "access/bridge_selection.hpp"
#include "commands/colour_options.hpp"
#include "commands/items.hpp"
#include "commands/output.hpp"
#include "commands/printout_builder.hpp"
#include "commands/progress.hpp"
#include "commands/render.hpp"
#include "commands/state_changes.hpp"
#include "hue/bridge.hpp"
#include "hue/lights.hpp"

namespace Commands {

void run_lights_command(const LightsOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output) {
    const auto& [bridge, identity] = std::tie(target.bridge, target.identity);
    Hue::Lights lights = bridge.get_lights(settings.client, identity);
    if (options.find) {
        lights.search();
        output.note("Searching for new lights...");
        Countdown("Searching for new lights", settings.find_wait).wait_out();
        lights = bridge.get_new_lights(settings.client, identity);
        render(output, lights_printout(lights));
        return;
    }
    read_items_given_by_name(lights);
    render(output, lights_printout(lights));
}

void check_light_options(const LightOptions& options) { check_state_options(options); }

void run_light_command(const LightOptions& options, const Settings& settings,
                       const Access::Target& target, const Output& output) {
    const auto& [bridge, identity] = std::tie(target.bridge, target.identity);
    const Hue::Lights lights = bridge.get_lights(settings.client, identity);
    Hue::Light light = find_item(lights, id_named(lights, options.id, "light"), "light");
    if (!light.whole()) {  // old firmware: the listing named it only
        std::this_thread::sleep_for(kItemReadPause);
        light.refresh();
    }
    Hue::LightState state = light.state();
    // A colour the light cannot show is refused before anything is sent.
    const std::uint32_t colour = apply_colour_options(options, colour_target(light), output, state);
    if (options.name) {
        light.set_name(*options.name);
        light.save_name();
    }
    apply_state_options(options, state);
    // An alert is an event, not a state: one asked for is sent even when the
    // light still reports the last one. Other fields are sent when they differ,
    // and a colour asked for when the light is in another colour mode.
    const bool alert = options.alert && *options.alert != "none";
    light.set_state(state, (alert ? Hue::LightField::alert : 0u) | colour);
    light.save_state(options.trans.value_or(0));
    light.refresh();
    render(output, LightsPrintout{{light_printout(light)}});
}

}  // namespace Commands
