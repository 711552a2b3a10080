#include "commands/state.hpp"

#include <iostream>

#include "commands/config.hpp"
#include "commands/groups.hpp"
#include "commands/lights.hpp"
#include "commands/schedules.hpp"
#include "discovery/selection.hpp"
#include "hue/fullstate.hpp"

namespace commands {

void run_state_command(const boost::program_options::variables_map& options,
                       const Hue::ClientConfig& client_config, const AppIdentity& identity) {
    const Hue::Bridge bridge = discovery::select_bridge(options, client_config).get();
    const Hue::FullState state = bridge.get_full_state(client_config, identity).get();
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
