#ifndef GLOWRIG_COMMANDS_DEVICES_HPP_
#define GLOWRIG_COMMANDS_DEVICES_HPP_

#include "access/bridge_selection.hpp"
#include "commands/options.hpp"
#include "commands/output.hpp"
#include "commands/run_settings.hpp"

namespace Commands {

// Runs the "devices" command: prints every device of the newer interface
// with its product, battery, connectivity and software update state, from
// one read of its resources. A bridge without that interface is refused in
// one line before anything is sent.
void run_devices_command(const BriefListingOptions& options, const Settings& settings,
                         const Access::Target& target, const Output& output);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_DEVICES_HPP_
