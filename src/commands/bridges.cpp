#include "commands/bridges.hpp"

#include <iostream>
#include <vector>

#include "commands/brief_printouts.hpp"
#include "commands/output.hpp"
#include "commands/printout_builder.hpp"
#include "commands/progress.hpp"
#include "commands/render.hpp"
#include "discovery/selection.hpp"
#include "hue/bridge.hpp"

namespace Commands {

void run_bridges_command(const BridgesOptions& options, const Settings& settings,
                         const Output& output) {
    std::vector<Hue::Bridge> bridges;
    {
        Countdown countdown("Searching for bridges", settings.ssdp.window);
        bridges = Discovery::find_bridges(settings, [&countdown] { countdown.tick(); });
    }
    if (options.brief && !output.json()) {
        print_brief(output.out(), bridges_brief(bridges_printout(bridges)));
        return;
    }
    render(output, bridges_printout(bridges));
}

}  // namespace Commands
