#include "commands/lights.hpp"

#include <chrono>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>

#include "commands/bridge_selection.hpp"
#include "commands/items.hpp"
#include "commands/json_output.hpp"
#include "commands/printable.hpp"
#include "commands/progress.hpp"
#include "commands/state_changes.hpp"
#include "hue/bridge.hpp"
#include "hue/lights.hpp"

namespace commands {

void run_lights_command(const LightsOptions& options, const Settings& settings,
                        const Target& target, const Output& output) {
    const auto& [bridge, identity] = std::tie(target.bridge, target.identity);
    Hue::Lights lights = bridge.get_lights(settings.client, identity).get();
    if (options.find) {
        lights.search().get();
        if (!output.json()) output.out() << "Searching for new lights..." << std::endl;
        {
            const Countdown countdown("Searching for new lights", settings.find_wait);
            std::this_thread::sleep_for(settings.find_wait);
        }
        lights = bridge.get_new_lights(settings.client, identity).get();
        print_lights(output, lights);
        return;
    }
    read_items_given_by_name(lights);
    print_lights(output, lights);
}

void run_light_command(const LightOptions& options, const Settings& settings, const Target& target,
                       const Output& output) {
    const auto& [bridge, identity] = std::tie(target.bridge, target.identity);
    const Hue::Lights lights = bridge.get_lights(settings.client, identity).get();
    Hue::Light light = find_item(lights, options.id, "light");
    if (!light.whole()) {  // old firmware: the listing named it only
        std::this_thread::sleep_for(kItemReadPause);
        light.refresh().get();
    }
    Hue::LightState state = light.state();
    if (options.name) {
        light.set_name(*options.name);
        light.save_name().get();
    }
    apply_state_options(options, state);
    // An alert is an event, not a state: one asked for is sent even when the
    // light still reports the last one. Other fields are sent when they differ.
    const bool alert = options.alert && *options.alert != "none";
    light.set_state(state, alert ? Hue::LightField::alert : 0u);
    light.save_state(options.trans.value_or(0)).get();
    light.refresh().get();
    Hue::Lights changed;
    changed.add(light);
    print_lights(output, changed);
}

void print_lights(const Output& output, const Hue::Lights& lights) {
    print_listing(output, "lights", lights, lights_json, print_lights);
}

web::json::value lights_json(const Hue::Lights& lights) {
    using web::json::value;
    value list = value::array();
    std::size_t index = 0;
    for (const Hue::Light& light : lights) {
        const Hue::LightState state = light.state();
        value object = value::object();
        object["id"] = value::string(light.id());
        object["name"] = value::string(light.name());
        object["modelid"] = value::string(light.modelid());
        object["swversion"] = value::string(light.swversion());
        value fields = value::object();
        fields["reachable"] = value::boolean(state.reachable);
        fields["on"] = value::boolean(state.on);
        fields["alert"] = value::string(state.alert);
        fields["effect"] = value::string(state.effect);
        add_color_json(fields, state.colormode, state.x, state.y, state.ct, state.hue, state.sat);
        fields["bri"] = value::number(static_cast<unsigned>(state.bri));
        object["state"] = fields;
        list[index++] = object;
    }
    return list;
}

void print_color_mode(Hue::ColorMode mode, float x, float y, std::uint16_t ct, std::uint16_t hue,
                      std::uint8_t sat) {
    std::cout << "    Mode:                  " << Hue::color_mode_text(mode) << std::endl;
    switch (mode) {
        case Hue::ColorMode::hs:
            std::cout << "    Hue:                   " << hue << std::endl;
            std::cout << "    Saturation:            " << static_cast<unsigned>(sat) << std::endl;
            break;
        case Hue::ColorMode::xy:
            std::cout << "    X:                     " << x << std::endl;
            std::cout << "    Y:                     " << y << std::endl;
            break;
        case Hue::ColorMode::ct:
            std::cout << "    ColorTemperature:      " << ct << std::endl;
            break;
        case Hue::ColorMode::invalid:
            break;
    }
}

void print_lights(const Hue::Lights& lights) {
    std::cout << "Lights:" << std::endl;
    for (const Hue::Light& light : lights) {
        const Hue::LightState state = light.state();
        std::cout << std::endl;
        std::cout << "  Id:                      " << printable(light.id()) << std::endl;
        std::cout << "  Name:                    " << printable(light.name()) << std::endl;
        std::cout << "  ModelId:                 " << printable(light.modelid()) << std::endl;
        std::cout << "  SwVersion:               " << printable(light.swversion()) << std::endl;
        std::cout << "  State:        " << std::endl;
        std::cout << "    Reachable:             " << state.reachable << std::endl;
        std::cout << "    On:                    " << state.on << std::endl;
        std::cout << "    Alert:                 " << printable(state.alert) << std::endl;
        std::cout << "    Effect:                " << printable(state.effect) << std::endl;
        print_color_mode(state.colormode, state.x, state.y, state.ct, state.hue, state.sat);
        std::cout << "    Brightness:            " << static_cast<unsigned>(state.bri) << std::endl;
    }
}

}  // namespace commands
