#ifndef GLOWRIG_DISCOVERY_UPNP_HPP_
#define GLOWRIG_DISCOVERY_UPNP_HPP_

#include <mutex>
#include <string>
#include <vector>

#include <pplx/pplxtasks.h>

#include "discovery/device.hpp"
#include "discovery/ssdp_finder.hpp"

namespace UPnP {

// Collects the devices of one search and signals its end through a
// completion event shared with the searcher. Safe for concurrent use.
class UPnPDeviceFinderCallback : public DeviceFinderCallback {
public:
    explicit UPnPDeviceFinderCallback(pplx::task_completion_event<void> completion);

    // Appends `device` to the list.
    void device_added(const Device& device) override;

    // Does nothing: a device once added stays in the list.
    void device_removed(const std::string& unique_device_name) override;

    // Sets the completion event; a second call has no effect.
    void search_complete() override;

    // Returns a copy of the devices added so far, in the order they came.
    std::vector<Device> devices() const;

private:
    mutable std::recursive_mutex m_mutex;  // guards m_devices
    std::vector<Device> m_devices;
    pplx::task_completion_event<void> m_completion;
};

// Searches for UPnP root devices as `settings` say. Returns at once a task
// whose value is every device that answered, in the order they were read; the
// task completes at the latest one fetch time-out after the search window.
// Throws, before any task exists, Discovery::SearchFailure (a
// std::system_error) when the search cannot be sent.
pplx::task<std::vector<Device>> find_upnp_devices(const SsdpSettings& settings);

// True when `device` is a bridge: its FriendlyName contains " hue " and its
// ManufacturerName contains " Philips " (case and blanks as written), or its
// ModelNumber is exactly "929000226503".
bool is_bridge(const Device& device);

// Returns the host of the device's PresentationURL ("192.168.1.2" for
// "http://192.168.1.2:80/"), "" when the URL has none. Throws
// web::uri_exception when the URL is not a valid URI.
std::string presentation_host(const Device& device);

// Returns the port of the device's PresentationURL (8123 for
// "http://127.0.0.1:8123/"), 80 when the URL names none, 0 when it names one
// outside 1..65535. Throws web::uri_exception when the URL is not a valid URI.
unsigned short presentation_port(const Device& device);

}  // namespace UPnP

#endif  // GLOWRIG_DISCOVERY_UPNP_HPP_
