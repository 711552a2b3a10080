#ifndef GLOWRIG_COMMANDS_RUN_SETTINGS_HPP_
#define GLOWRIG_COMMANDS_RUN_SETTINGS_HPP_

#include <chrono>

#include "access/settings.hpp"

namespace Commands {

// The settings of one run: those of choosing the bridge (see
// Access::Settings), how long "lights --find" leaves the bridge searching
// before it reads what was found, and whether brief listings may colour
// standard output.
struct Settings : Access::Settings {
    std::chrono::milliseconds find_wait{90000};
    bool colour = false;
};

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_RUN_SETTINGS_HPP_
