// Reads the input as a UPnP device description fetched from a fixed location.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "discovery/device_description.hpp"
#include "fuzz_support.hpp"

using FuzzSupport::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view xml(reinterpret_cast<const char*>(data), size);
    const auto device = UPnP::read_device_description(xml, "http://127.0.0.1:80/description.xml");
    if (device) require(device->IsRootDevice, "a description always gives a root device");
    return 0;
}
