#ifndef GLOWRIG_COMMANDS_COMMAND_HPP_
#define GLOWRIG_COMMANDS_COMMAND_HPP_

#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include <boost/program_options/variables_map.hpp>

#include "discovery/settings.hpp"
#include "hue/app_identity.hpp"
#include "hue/bridge.hpp"

namespace commands {

// The settings of one run: discovery's and the HTTP clients' (see
// discovery::Settings), how long "lights --find" leaves the bridge searching
// before it reads what was found, the bridge to use when the command line
// names none, and where the user names granted by bridges are kept.
struct Settings : discovery::Settings {
    std::chrono::milliseconds find_wait{90000};
    std::optional<std::string> default_bridge;  // as --bridge; none: the command line decides
    std::string credentials_file;  // path of the credentials file; empty: there is none
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

// The item of `list` (lights, groups or schedules, which hold each id once)
// whose id is `id`. Throws std::runtime_error "Error: no WHAT with id ID."
// when the list holds none.
template <class List>
auto find_item(const List& list, const std::string& id, const char* what) {
    for (const auto& item : list) {
        if (item.id() == id) return item;
    }
    throw std::runtime_error(std::string("Error: no ") + what + " with id " + id + ".");
}

// The pause before each read of an item that a listing gave by name alone.
constexpr std::chrono::milliseconds kItemReadPause(100);

// Reads again, one at a time, the items of `list` (lights, groups or
// schedules) that the listing did not give whole, waiting kItemReadPause
// before each read; items the listing gave whole are not read again. The
// listings of bridges with current firmware hold every item whole, so this
// reads nothing there. Old firmware listed each item by its name alone: its
// items must be read one by one, and the pause keeps those bridges, slow to
// answer, from being flooded with a burst of reads (as glowrig always did).
template <class List>
void read_items_given_by_name(const List& list) {
    for (auto item : list) {  // a copy of the handle shares the item's state
        if (item.whole()) continue;
        std::this_thread::sleep_for(kItemReadPause);
        item.refresh().get();
    }
}

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_COMMAND_HPP_
