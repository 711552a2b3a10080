#include "commands/bridges.hpp"

#include <iostream>
#include <vector>

#include "commands/output.hpp"
#include "commands/printout_builder.hpp"
#include "commands/progress.hpp"
#include "commands/render.hpp"
#include "discovery/selection.hpp"
#include "hue/bridge.hpp"

namespace Commands {

void run_bridges_command(const BridgesOptions&, const Settings& settings, const Output& output) {
    std::vector<Hue::Bridge> bridges;
    {
        Countdown countdown("Searching for bridges", settings.ssdp.window);
        bridges = Discovery::find_bridges(settings, [&countdown] { countdown.tick(); });
    }
    render(output, bridges_printout(bridges));
}

}  // namespace Commands
