#include "commands/state.hpp"

#include <iostream>

#include "access/bridge_selection.hpp"
#include "commands/output.hpp"
#include "commands/printout_builder.hpp"
#include "commands/render.hpp"
#include "hue/fullstate.hpp"

namespace Commands {

void run_state_command(const ListingOptions&, const Settings& settings,
                       const Access::Target& target, const Output& output) {
    const Hue::FullState state = target.bridge.get_full_state(settings.client, target.identity);
    render(output, state_printout(std::get<Hue::Configuration>(state), std::get<Hue::Lights>(state),
                                  std::get<Hue::Groups>(state), std::get<Hue::Schedules>(state)));
}

}  // namespace Commands
