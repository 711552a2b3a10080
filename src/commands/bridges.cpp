#include "commands/bridges.hpp"

#include <iostream>
#include <optional>
#include <string>

#include "commands/printable.hpp"
#include "discovery/selection.hpp"
#include "hue/address.hpp"
#include "hue/text.hpp"

namespace commands {
namespace {

// The width of the table's id column, in characters.
constexpr std::size_t kIdColumn = 20;

}  // namespace

Hue::Bridge selected_bridge(const boost::program_options::variables_map& options,
                            const Settings& settings) {
    std::optional<std::string> wanted;
    if (options.count("bridge")) wanted = options["bridge"].as<std::string>();
    try {
        return discovery::select_bridge(wanted, settings).get();
    } catch (const discovery::AmbiguousBridge&) {
        std::cout << "Multiple bridges found, please specify desired bridge with "
                     "--bridge=<Ip||Id>"
                  << std::endl;
        throw;
    }
}

void run_bridges_command(const boost::program_options::variables_map&, const Settings& settings,
                         const AppIdentity&) {
    const std::vector<Hue::Bridge> bridges = discovery::find_bridges(settings).get();
    std::cout << "Local Bridges" << std::endl << std::endl;
    std::cout << "Id                  "
              << "IP Address     \t"
              << "MAC Address" << std::endl;
    for (const auto& bridge : bridges) {
        const std::string id = printable(bridge.id());
        const std::size_t width = Hue::code_points(id);
        std::cout << id << std::string(width < kIdColumn ? kIdColumn - width : 0, ' ')
                  << printable(Hue::address_text(bridge.ip(), bridge.port())) << "\t"
                  << printable(bridge.mac()) << std::endl;
    }
}

}  // namespace commands
