#ifndef GLOWRIG_ACCESS_SETTINGS_HPP_
#define GLOWRIG_ACCESS_SETTINGS_HPP_

#include <optional>
#include <string>

#include "discovery/search_settings.hpp"
#include "hue/address.hpp"

namespace Access {

// What choosing a bridge takes from the run: discovery's settings and the
// HTTP clients' (see Discovery::Settings), the bridge to use when the command
// names none, and where the user names granted by bridges are kept.
struct Settings : Discovery::Settings {
    std::optional<Hue::BridgeName> default_bridge;  // as --bridge; none: the command decides
    std::string credentials_file;  // path of the credentials file; empty: there is none
};

}  // namespace Access

#endif  // GLOWRIG_ACCESS_SETTINGS_HPP_
