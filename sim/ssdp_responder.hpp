#ifndef GLOWRIG_SIM_SSDP_RESPONDER_HPP_
#define GLOWRIG_SIM_SSDP_RESPONDER_HPP_

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace Sim {

// The fields of a device description document.
struct DeviceFields {
    std::string device_type = "urn:schemas-upnp-org:device:Basic:1";
    std::string friendly_name;
    std::string manufacturer;
    std::string manufacturer_url;
    std::string model_description;
    std::string model_name;
    std::string model_number;
    std::string model_url;
    std::string serial_number;
    std::string udn;
    std::string presentation_url;
    std::string url_base;  // no URLBase element when empty
};

// Returns a UPnP device description document (UTF-8 XML) for `fields`, with
// every text escaped. Empty fields other than url_base are written as empty
// elements.
std::string render_description(const DeviceFields& fields);

// Returns an SSDP search reply ("HTTP/1.1 200 OK" with CACHE-CONTROL, EXT,
// LOCATION, SERVER, ST upnp:rootdevice and USN).
std::string ssdp_reply(const std::string& location, const std::string& usn);

// Answers SSDP searches sent to a loopback address, on a thread of its own.
// Every datagram that starts with "M-SEARCH" is answered, to its sender,
// with each configured reply in turn. set_replies(), port(), endpoint() and
// searches() may be called from any thread; start() and stop() from one.
class SsdpResponder {
public:
    // Will answer with ssdp_reply(location, "uuid:<n>::upnp:rootdevice").
    // Throws std::invalid_argument when `address` is not a loopback address.
    explicit SsdpResponder(const std::string& location, std::string address = "127.0.0.1");
    ~SsdpResponder();  // stops

    SsdpResponder(const SsdpResponder&) = delete;
    SsdpResponder& operator=(const SsdpResponder&) = delete;

    // Replaces the replies: each search is answered with these datagrams,
    // sent as given (they need not be HTTP). An empty list answers nothing.
    void set_replies(std::vector<std::string> replies);

    // Binds to the address and `port` (0: a free one) and starts answering.
    // Throws std::system_error when binding fails. Does nothing when running.
    void start(unsigned short port = 0);

    // Stops answering and releases the port. Does nothing when stopped.
    void stop();

    // The bound port; 0 before start().
    unsigned short port() const;

    // Returns "address:port", the form of GLOWRIG_SSDP.
    std::string endpoint() const;

    // Number of searches received since construction.
    std::size_t searches() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace Sim

#endif  // GLOWRIG_SIM_SSDP_RESPONDER_HPP_
