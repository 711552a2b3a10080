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

void run_state_command(const boost::program_options::variables_map& options,
                       const Settings& settings, const AppIdentity& computed) {
    const auto [bridge, identity] = select_target(options, settings, computed);
    const Hue::FullState state = bridge.get_full_state(settings.client, identity).get();
    if (wants_json(options)) {
        web::json::value document = web::json::value::object();
        document["configuration"] = configuration_json(std::get<Hue::Configuration>(state));
        document["lights"] = lights_json(std::get<Hue::Lights>(state));
        document["groups"] = groups_json(std::get<Hue::Groups>(state));
        document["schedules"] = schedules_json(std::get<Hue::Schedules>(state));
        print_json(document);
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
