#include "commands/devices.hpp"

#include <stdexcept>
#include <string>
#include <vector>

#include "commands/brief_table.hpp"
#include "http/endpoint.hpp"
#include "hue/v2/devices.hpp"
#include "json/text.hpp"
#include "util/printable.hpp"

namespace Commands {
namespace {

// "17% low", "100%", or the state alone; empty for a device without a battery.
std::string battery_text(const Hue::V2::DeviceResource& device) {
    std::string text = device.battery ? std::to_string(*device.battery) + "%" : std::string();
    if (!device.battery_state.empty()) text += (text.empty() ? "" : " ") + device.battery_state;
    return text;
}

Json::Value text_or_null(const std::string& text) {
    return text.empty() ? Json::Value() : Json::Value(text);
}

}  // namespace

void run_devices_command(const BriefListingOptions& options, const Settings& settings,
                         const Access::Target& target, const Output& output) {
    const auto entry = target.credentials->find_entry(target.bridge);
    if (!entry || !entry->newer) {
        throw std::runtime_error("Error: the bridge at " +
                                 Http::location_text(target.bridge.endpoint()) +
                                 " has no newer interface; devices needs it.");
    }
    const auto devices =
        Hue::V2::read_devices(target.bridge, target.identity.user_id, settings.client);
    std::ostream& out = output.out();
    if (output.json()) {
        Json::Value list = Json::Value::array();
        for (const auto& device : devices) {
            Json::Value object = Json::Value::object();
            object["id"] = Json::Value(device.id);
            object["name"] = Json::Value(device.name);
            object["product"] = text_or_null(device.product);
            object["battery"] = device.battery ? Json::Value(*device.battery) : Json::Value();
            object["battery_state"] = text_or_null(device.battery_state);
            object["connectivity"] = text_or_null(device.connectivity);
            object["update"] = text_or_null(device.update);
            list.push_back(object);
        }
        out << Json::text(Json::Value::object({{"devices", list}}), Json::Numbers::shortest)
            << std::endl;
        return;
    }
    if (options.brief) {
        BriefTable table{{"ID", "NAME", "PRODUCT", "BATTERY", "CONNECTIVITY", "UPDATE"}, {}};
        for (const auto& device : devices) {
            table.rows.push_back(
                {Util::printable(device.id), brief_name(device.name),
                 Util::printable(device.product), Util::printable(battery_text(device)),
                 Util::printable(device.connectivity), Util::printable(device.update)});
        }
        print_brief(out, table);
        return;
    }
    out << "Devices:" << '\n';
    for (const auto& device : devices) {
        out << '\n';
        out << "  Id:                      " << Util::printable(device.id) << '\n';
        out << "  Name:                    " << Util::printable(device.name) << '\n';
        out << "  Product:                 " << Util::printable(device.product) << '\n';
        out << "  Battery:                 " << Util::printable(battery_text(device)) << '\n';
        out << "  Connectivity:            " << Util::printable(device.connectivity) << '\n';
        out << "  Update:                  " << Util::printable(device.update) << '\n';
    }
}

}  // namespace Commands
