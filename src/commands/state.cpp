#include "commands/state.hpp"

#include <iostream>

#include "commands/config.hpp"
#include "commands/groups.hpp"
#include "commands/lights.hpp"
#include "commands/schedules.hpp"
#include "hue/fullstate.hpp"

namespace commands {

void run_state_command(const boost::program_options::variables_map& options,
                       const Settings& settings, const AppIdentity& computed) {
    const auto [bridge, identity] = select_target(options, settings, computed);
    const Hue::FullState state = bridge.get_full_state(settings.client, identity).get();
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
