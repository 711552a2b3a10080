#include "commands/bridges.hpp"

#include <iostream>
#include <string>
#include <vector>

#include "commands/json_output.hpp"
#include "commands/printable.hpp"
#include "commands/progress.hpp"
#include "discovery/selection.hpp"
#include "hue/address.hpp"
#include "hue/text.hpp"

namespace commands {
namespace {

// The width of the table's id column, in characters.
constexpr std::size_t kIdColumn = 20;

// The bridge's address in the form --bridge takes: "IP[:PORT]" for plain HTTP,
// "https://IP[:PORT]" for HTTPS, the port written unless it is the scheme's own.
std::string bridge_address(const Hue::Bridge& bridge) {
    if (bridge.scheme() != Hue::Scheme::Https) return Hue::address_text(bridge.ip(), bridge.port());
    const std::string port = bridge.port() == 443 ? "" : ":" + std::to_string(bridge.port());
    return "https://" + Hue::url_host(bridge.ip()) + port;
}

}  // namespace

void run_bridges_command(const BridgesOptions&, const Settings& settings, const Output& output) {
    std::vector<Hue::Bridge> bridges;
    {
        const Countdown countdown("Searching for bridges", settings.ssdp.window);
        bridges = discovery::find_bridges(settings).get();
    }
    if (output.json()) {
        using web::json::value;
        value list = value::array();
        for (const auto& bridge : bridges) {
            value object = value::object();
            object["id"] = value::string(bridge.id());
            object["ip"] = value::string(bridge.ip());
            object["port"] = value::number(bridge.port());
            object["address"] = value::string(bridge_address(bridge));
            object["mac"] = value::string(bridge.mac());
            list[list.size()] = object;
        }
        value document = value::object();
        document["bridges"] = list;
        print_json(output, document);
        return;
    }
    std::cout << "Local Bridges" << std::endl << std::endl;
    std::cout << "Id                  "
              << "IP Address     \t"
              << "MAC Address" << std::endl;
    for (const auto& bridge : bridges) {
        const std::string id = printable(bridge.id());
        const std::size_t width = Hue::code_points(id);
        std::cout << id << std::string(width < kIdColumn ? kIdColumn - width : 0, ' ')
                  << printable(bridge_address(bridge)) << "\t" << printable(bridge.mac())
                  << std::endl;
    }
}

}  // namespace commands
