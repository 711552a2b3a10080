#ifndef GLOWRIG_COMMANDS_RUN_SETTINGS_HPP_
#define GLOWRIG_COMMANDS_RUN_SETTINGS_HPP_

#include <chrono>
#include <optional>
#include <string>

#include "discovery/search_settings.hpp"
#include "hue/address.hpp"

namespace Commands {

// The settings of one run: discovery's and the HTTP clients' (see
// Discovery::Settings), how long "lights --find" leaves the bridge searching
// before it reads what was found, the bridge to use when the command line
// names none, and where the user names granted by bridges are kept.
struct Settings : Discovery::Settings {
    std::chrono::milliseconds find_wait{90000};
    std::optional<Hue::BridgeName> default_bridge;  // as --bridge; none: the command line decides
    std::string credentials_file;  // path of the credentials file; empty: there is none
};

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_RUN_SETTINGS_HPP_
