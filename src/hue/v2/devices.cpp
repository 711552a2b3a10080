#include "hue/v2/devices.hpp"

#include <map>
#include <stdexcept>

#include "hue/v2/resources.hpp"
#include "json/parse.hpp"

namespace Hue::V2 {
namespace {

std::string text_at(const Json::Value* object, const char* key) {
    const Json::Value* found = object != nullptr ? Json::find(*object, key) : nullptr;
    return found != nullptr && found->is_string() ? found->get<std::string>() : std::string();
}

// What the service `service` tells of its device, added to `device`.
void add_service(DeviceResource& device, const Json::Value& service) {
    const std::string type = text_at(&service, "type");
    if (type == "device_power") {
        const Json::Value* power = Json::find(service, "power_state");
        device.battery_state = text_at(power, "battery_state");
        const Json::Value* level = power != nullptr ? Json::find(*power, "battery_level") : nullptr;
        if (level != nullptr && level->is_number_integer()) {
            const auto percent = level->get<std::int64_t>();
            if (percent >= 0 && percent <= 100) device.battery = static_cast<int>(percent);
        }
    } else if (type == "zigbee_connectivity") {
        device.connectivity = text_at(&service, "status");
    } else if (type == "device_software_update") {
        device.update = text_at(&service, "state");
    }
}

}  // namespace

std::vector<DeviceResource> read_devices(const Bridge& bridge, const std::string& key,
                                         const Http::Options& options) {
    Http::Endpoint endpoint = bridge.endpoint();
    endpoint.target = "/clip/v2/resource";
    const Json::Value reply = Json::parse(
        Http::exchange(endpoint, Http::Method::Get, "", key_options(bridge, key, options)),
        "the resource listing");
    const Json::Value* data = Json::find(reply, "data");
    if (data == nullptr || !data->is_array()) {
        throw std::runtime_error("Error: the resource listing is not a listing.");
    }
    std::map<std::string, const Json::Value*> by_id;
    for (const auto& item : *data) {
        if (const std::string id = text_at(&item, "id"); !id.empty()) by_id[id] = &item;
    }
    std::vector<DeviceResource> devices;
    for (const auto& item : *data) {
        if (text_at(&item, "type") != "device") continue;
        DeviceResource device;
        device.id = text_at(&item, "id");
        device.name = text_at(Json::find(item, "metadata"), "name");
        device.product = text_at(Json::find(item, "product_data"), "product_name");
        const Json::Value* services = Json::find(item, "services");
        for (const auto& ref :
             services != nullptr && services->is_array() ? *services : Json::Value::array()) {
            const auto found = by_id.find(text_at(&ref, "rid"));
            if (found != by_id.end()) add_service(device, *found->second);
        }
        devices.push_back(device);
    }
    return devices;
}

}  // namespace Hue::V2
