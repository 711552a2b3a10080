#ifndef GLOWRIG_HUE_V2_DEVICES_HPP_
#define GLOWRIG_HUE_V2_DEVICES_HPP_

#include <optional>
#include <string>
#include <vector>

#include "http/exchange.hpp"
#include "hue/bridge.hpp"

namespace Hue::V2 {

// A device of the newer interface with what its services tell of it; a text
// is empty when the device has no such service.
struct DeviceResource {
    std::string id;              // its UUID
    std::string name;            // metadata.name
    std::string product;         // product_data.product_name
    std::optional<int> battery;  // device_power: battery_level, percent
    std::string battery_state;   // device_power: normal, low or critical
    std::string connectivity;    // zigbee_connectivity: connected, disconnected, ...
    std::string update;          // device_software_update: no_update, ...
};

// The devices from one read of GET /clip/v2/resource with `key`, in the
// order the bridge lists them. Throws Http::Failure as exchange() does,
// std::runtime_error for a reply that is not the envelope.
std::vector<DeviceResource> read_devices(const Bridge& bridge, const std::string& key,
                                         const Http::Options& options);

}  // namespace Hue::V2

#endif  // GLOWRIG_HUE_V2_DEVICES_HPP_
