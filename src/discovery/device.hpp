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
    std::wstring UniqueDeviceName;
    std::wstring FriendlyName;
    std::wstring Type;
    std::wstring PresentationURL;  // absolute when the description gave one
    std::wstring ManufacturerName;
    std::wstring ManufacturerURL;
    std::wstring ModelName;
    std::wstring ModelNumber;
    std::wstring Description;
    std::wstring ModelURL;
    std::wstring UPC;
    std::wstring SerialNumber;
};

}  // namespace UPnP

#endif  // GLOWRIG_DISCOVERY_DEVICE_HPP_
