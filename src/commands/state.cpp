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
                       const web::web_proxy& proxy, const AppIdentity& identity) {
    const Hue::Bridge bridge = discovery::select_bridge(options, proxy).get();
    const Hue::FullState state = bridge.get_full_state(proxy, identity).get();
    std::wcout << L"State:" << std::endl;
    print_configuration(std::get<Hue::Configuration>(state));
    std::wcout << std::endl;
    print_lights(std::get<Hue::Lights>(state));
    std::wcout << std::endl;
    print_groups(std::get<Hue::Groups>(state));
    std::wcout << std::endl;
    print_schedules(std::get<Hue::Schedules>(state));
    std::wcout << std::endl;
}

}  // namespace commands
