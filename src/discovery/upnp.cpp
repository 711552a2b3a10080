#include "discovery/upnp.hpp"

#include <memory>
#include <stdexcept>
#include <utility>

#include "http/uri.hpp"

namespace UPnP {
namespace {

// The device's PresentationURL, read.
Http::UriReference presentation_url(const Device& device) {
    auto uri = Http::read_uri(device.PresentationURL);
    if (!uri) throw std::invalid_argument("provided uri is invalid: " + device.PresentationURL);
    return std::move(*uri);
}

}  // namespace

UPnPDeviceFinderCallback::UPnPDeviceFinderCallback(
    std::function<void(std::vector<Device>)> completion)
    : m_completion(std::move(completion)) {}

void UPnPDeviceFinderCallback::device_added(const Device& device) { m_devices.push_back(device); }

void UPnPDeviceFinderCallback::search_complete() {
    if (!m_completion) return;
    auto completion = std::move(m_completion);
    m_completion = nullptr;
    completion(devices());
}

std::vector<Device> UPnPDeviceFinderCallback::devices() const { return m_devices; }

void find_upnp_devices(boost::asio::io_context& io, const SsdpSettings& settings,
                       std::function<void(std::vector<Device>)> done) {
    auto finder = std::make_shared<SsdpDeviceFinder>(io, settings);
    // The step holds the finder until the search is over, then stops it.
    auto callback = std::make_shared<UPnPDeviceFinderCallback>(
        [finder, done = std::move(done)](std::vector<Device> devices) {
            finder->cancel();
            done(std::move(devices));
        });
    finder->start("upnp:rootdevice", callback);
}

bool is_bridge(const Device& device) {
    return (device.FriendlyName.find(" hue ") != std::string::npos &&
            device.ManufacturerName.find(" Philips ") != std::string::npos) ||
           device.ModelNumber == "929000226503";
}

std::string presentation_host(const Device& device) {
    std::string host = presentation_url(device).host;
    for (char& c : host) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return host;
}

unsigned short presentation_port(const Device& device) {
    const auto port = presentation_url(device).port;
    if (!port || port->empty()) return 80;
    unsigned long value = 0;
    for (char c : *port) {
        value = value * 10 + static_cast<unsigned long>(c - '0');
        if (value > 65535) return 0;
    }
    return static_cast<unsigned short>(value);
}

}  // namespace UPnP
