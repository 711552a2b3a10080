#ifndef GLOWRIG_DISCOVERY_UPNP_HPP_
#define GLOWRIG_DISCOVERY_UPNP_HPP_

#include <functional>
#include <string>
#include <vector>

#include "discovery/device.hpp"
#include "discovery/ssdp_finder.hpp"

namespace boost {
namespace asio {
class io_context;
}
}  // namespace boost

namespace UPnP {

// Collects the devices of one search and hands them on when the search is
// over. Used on the thread running the search only.
class UPnPDeviceFinderCallback : public DeviceFinderCallback {
public:
    // `completion` is called with the devices when the search is complete.
    explicit UPnPDeviceFinderCallback(std::function<void(std::vector<Device>)> completion);

    // Appends `device` to the list.
    void device_added(const Device& device) override;

    // Calls the completion with devices(); a second call has no effect.
    void search_complete() override;

    // Returns a copy of the devices added so far, in the order they came.
    std::vector<Device> devices() const;

private:
    std::vector<Device> m_devices;
    std::function<void(std::vector<Device>)> m_completion;  // null once called
};

// Searches for UPnP root devices on `io` as `settings` say, and calls `done`
// once, on the thread running `io`, with every device that answered, in the
// order they were read: at the latest one fetch time-out after the search
// window. Throws Discovery::SearchFailure (a std::system_error), and calls
// nothing, when the search cannot be sent.
void find_upnp_devices(boost::asio::io_context& io, const SsdpSettings& settings,
                       std::function<void(std::vector<Device>)> done);

// True when `device` is a bridge: its FriendlyName contains " hue " and its
// ManufacturerName contains " Philips " (case and blanks as written), or its
// ModelNumber is exactly "929000226503".
bool is_bridge(const Device& device);

// Returns the host of the device's PresentationURL ("192.168.1.2" for
// "http://192.168.1.2:80/"; an IPv6 host in its brackets; letters in lower
// case), "" when the URL has none. Throws std::invalid_argument "provided uri
// is invalid: URL" when the URL is not a URI reference (read_uri).
std::string presentation_host(const Device& device);

// Returns the port of the device's PresentationURL (8123 for
// "http://127.0.0.1:8123/"), 80 when the URL names none, 0 when it names one
// outside 1..65535. Throws as presentation_host does.
unsigned short presentation_port(const Device& device);

}  // namespace UPnP

#endif  // GLOWRIG_DISCOVERY_UPNP_HPP_
