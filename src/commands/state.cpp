#include "commands/state.hpp"

#include <iostream>

#include "commands/bridge_selection.hpp"
#include "commands/json_option.hpp"
#include "commands/output.hpp"
#include "commands/printout_builder.hpp"
#include "commands/render.hpp"
#include "hue/fullstate.hpp"

namespace commands {

void run_state_command(const boost::program_options::variables_map& options,
                       const Settings& settings, const AppIdentity& computed) {
    const Output output(std::cout, std::cerr, wants_json(options));
    const auto [bridge, identity] = select_target(options, settings, computed);
    const Hue::FullState state = bridge.get_full_state(settings.client, identity).get();
    render(output, state_printout(std::get<Hue::Configuration>(state), std::get<Hue::Lights>(state),
                                  std::get<Hue::Groups>(state), std::get<Hue::Schedules>(state)));
}

}  // namespace commands
