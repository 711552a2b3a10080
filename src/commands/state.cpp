#include "commands/state.hpp"

#include <iostream>

#include "commands/bridge_selection.hpp"
#include "commands/config.hpp"
#include "commands/groups.hpp"
#include "commands/json_output.hpp"
#include "commands/lights.hpp"
#include "commands/schedules.hpp"
#include "hue/fullstate.hpp"

namespace commands {

void run_state_command(const ListingOptions&, const Settings& settings, const Target& target,
                       const Output& output) {
    const Hue::FullState state =
        target.bridge.get_full_state(settings.client, target.identity).get();
    if (output.json()) {
        web::json::value document = web::json::value::object();
        document["configuration"] = configuration_json(std::get<Hue::Configuration>(state));
        document["lights"] = lights_json(std::get<Hue::Lights>(state));
        document["groups"] = groups_json(std::get<Hue::Groups>(state));
        document["schedules"] = schedules_json(std::get<Hue::Schedules>(state));
        print_json(output, document);
        return;
    }
    std::cout << "State:" << std::endl;
    print_configuration(std::get<Hue::Configuration>(state));
    std::cout << std::endl;
    print_lights(std::get<Hue::Lights>(state));
    std::cout << std::endl;
    print_groups(std::get<Hue::Groups>(state));
    std::cout << std::endl;
    print_schedules(std::get<Hue::Schedules>(state));
    std::cout << std::endl;
}

}  // namespace commands
