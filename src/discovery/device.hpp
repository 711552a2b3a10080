#ifndef GLOWRIG_DISCOVERY_DEVICE_HPP_
#define GLOWRIG_DISCOVERY_DEVICE_HPP_

#include <string>

namespace UPnP {

// One device found by a UPnP search, as its description document states it.
// A plain value, copied freely. Every string starts empty; an empty string
// means the description did not state that field.
struct Device {
    bool IsRootDevice = false;
    bool HasChildren = false;
    std::string UniqueDeviceName;
    std::string FriendlyName;
    std::string Type;
    std::string PresentationURL;  // absolute when the description gave one
    std::string ManufacturerName;
    std::string ManufacturerURL;
    std::string ModelName;
    std::string ModelNumber;
    std::string Description;
    std::string ModelURL;
    std::string UPC;
    std::string SerialNumber;
};

}  // namespace UPnP

#endif  // GLOWRIG_DISCOVERY_DEVICE_HPP_
