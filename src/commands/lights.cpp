#include "commands/lights.hpp"

#include <chrono>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>

#include "commands/bridge_selection.hpp"
#include "commands/json_option.hpp"
#include "commands/light_options.hpp"
#include "commands/output.hpp"
#include "commands/printout_builder.hpp"
#include "commands/progress.hpp"
#include "commands/render.hpp"
#include "hue/bridge.hpp"
#include "hue/lights.hpp"

namespace commands {
namespace {

namespace po = boost::program_options;

}  // namespace

void run_lights_command(const po::variables_map& options, const Settings& settings,
                        const AppIdentity& computed) {
    const Output output(std::cout, std::cerr, wants_json(options));
    const auto [bridge, identity] = select_target(options, settings, computed);
    Hue::Lights lights = bridge.get_lights(settings.client, identity).get();
    if (options.count("find")) {
        lights.search().get();
        if (!output.json()) output.out() << "Searching for new lights..." << std::endl;
        {
            const Countdown countdown("Searching for new lights", settings.find_wait);
            std::this_thread::sleep_for(settings.find_wait);
        }
        lights = bridge.get_new_lights(settings.client, identity).get();
        render(output, lights_printout(lights));
        return;
    }
    read_items_given_by_name(lights);
    render(output, lights_printout(lights));
}

void run_light_command(const po::variables_map& options, const Settings& settings,
                       const AppIdentity& computed) {
    const Output output(std::cout, std::cerr, wants_json(options));
    if (!options.count("id")) {
        throw UsageError("Error: required option 'id' is missing.  Try glowrig light -help");
    }
    const StateOptions changes = read_state_options(options);
    const std::string id = options["id"].as<std::string>();

    const auto [bridge, identity] = select_target(options, settings, computed);
    const Hue::Lights lights = bridge.get_lights(settings.client, identity).get();
    Hue::Light light = find_item(lights, id, "light");
    if (!light.whole()) {  // old firmware: the listing named it only
        std::this_thread::sleep_for(kItemReadPause);
        light.refresh().get();
    }
    Hue::LightState state = light.state();
    if (options.count("name")) {
        light.set_name(options["name"].as<std::string>());
        light.save_name().get();
    }
    apply_state_options(changes, state);
    // An alert is an event, not a state: one asked for is sent even when the
    // light still reports the last one. Other fields are sent when they differ.
    const bool alert = changes.alert && *changes.alert != "none";
    light.set_state(state, alert ? Hue::LightField::alert : 0u);
    light.save_state(changes.transitiontime).get();
    light.refresh().get();
    render(output, LightsPrintout{{light_printout(light)}});
}

}  // namespace commands
