#ifndef GLOWRIG_DISCOVERY_DEVICE_DESCRIPTION_HPP_
#define GLOWRIG_DISCOVERY_DEVICE_DESCRIPTION_HPP_

#include <optional>
#include <string>
#include <string_view>

#include "discovery/device.hpp"

namespace UPnP {

// Reads the root device of the UPnP device description `xml` (UTF-8 or any
// encoding the document declares by its byte order mark), fetched from
// `location`. Returns nullopt when `xml` is not well-formed or has no
// root/device element. Fields the document does not state stay empty;
// element names are matched without their namespace prefix; texts are kept
// as written. IsRootDevice is true; HasChildren is true when the device's
// deviceList holds a device. A relative presentationURL is resolved against
// URLBase when that is an absolute URL, else against `location`; one that
// cannot be resolved is kept as written.
std::optional<Device> read_device_description(std::string_view xml, const std::string& location);

}  // namespace UPnP

#endif  // GLOWRIG_DISCOVERY_DEVICE_DESCRIPTION_HPP_
