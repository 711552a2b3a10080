#ifndef GLOWRIG_COMMANDS_COMMAND_HPP_
#define GLOWRIG_COMMANDS_COMMAND_HPP_

#include <chrono>
#include <stdexcept>
#include <string>

#include <boost/program_options/variables_map.hpp>

#include "discovery/settings.hpp"
#include "hue/app_identity.hpp"
#include "hue/bridge.hpp"

namespace commands {

// The settings of one run: discovery's and the HTTP clients' (see
// discovery::Settings), and how long "lights --find" leaves the bridge
// searching before it reads what was found.
struct Settings : discovery::Settings {
    std::chrono::milliseconds find_wait{90000};
};

// A command line glowrig will not run: an option out of its range or not one
// of its words, a missing option, a malformed setting. The entry ends such a
// run with status 2, every other failure with status 1.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every command takes the parsed options, the settings and the identity, runs
// to completion, prints its result and reports failure by exception.
using CommandFunction = void (*)(const boost::program_options::variables_map& options,
                                 const Settings& settings, const AppIdentity& identity);

// True when one of the items of `list` (lights, groups, schedules) has `id`.
template <class List>
bool lists_id(const List& list, const std::string& id) {
    for (const auto& item : list) {
        if (item.id() == id) return true;
    }
    return false;
}

// Chooses the bridge named by the option "bridge" (or, without it, the only
// one found) as discovery::select_bridge does. When several bridges were found
// and none was named, prints the line that asks for --bridge before the
// failure reaches the caller.
Hue::Bridge selected_bridge(const boost::program_options::variables_map& options,
                            const Settings& settings);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_COMMAND_HPP_
