#include "discovery/upnp.hpp"

#include <memory>
#include <utility>

#include <cpprest/base_uri.h>

#include "hue/text.hpp"

namespace UPnP {

UPnPDeviceFinderCallback::UPnPDeviceFinderCallback(pplx::task_completion_event<void> completion)
    : m_completion(std::move(completion)) {}

void UPnPDeviceFinderCallback::device_added(const Device& device) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_devices.push_back(device);
}

void UPnPDeviceFinderCallback::device_removed(const std::string&) {}

void UPnPDeviceFinderCallback::search_complete() { m_completion.set(); }

std::vector<Device> UPnPDeviceFinderCallback::devices() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_devices;
}

pplx::task<std::vector<Device>> find_upnp_devices(const SsdpSettings& settings) {
    auto finder = std::make_shared<SsdpDeviceFinder>(settings);
    pplx::task_completion_event<void> completion;
    auto callback = std::make_shared<UPnPDeviceFinderCallback>(completion);
    const auto find = finder->create_async_find("upnp:rootdevice", callback);
    finder->start_async_find(find);
    // The step holds the finder and the callback until the search is over.
    return pplx::create_task(completion).then([finder, callback, find] {
        finder->cancel_async_find(find);
        return callback->devices();
    });
}

bool is_bridge(const Device& device) {
    return (device.FriendlyName.find(" hue ") != std::string::npos &&
            device.ManufacturerName.find(" Philips ") != std::string::npos) ||
           device.ModelNumber == "929000226503";
}

std::string presentation_host(const Device& device) {
    return web::uri(device.PresentationURL).host();
}

unsigned short presentation_port(const Device& device) {
    // A URI without a port reports port 0.
    const int port = web::uri(device.PresentationURL).port();
    if (port == 0) return 80;
    return port > 0 && port <= 65535 ? static_cast<unsigned short>(port) : 0;
}

}  // namespace UPnP
