#include "sim/ssdp_responder.hpp"

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "sim/udp_responder.hpp"

namespace Sim {
namespace {

std::string escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void element(std::string& out, const char* indent, const char* name, const std::string& value) {
    out += indent;
    out += "<";
    out += name;
    out += ">";
    out += escape(value);
    out += "</";
    out += name;
    out += ">\n";
}

std::atomic<unsigned> g_next_uuid{1};

}  // namespace

std::string render_description(const DeviceFields& f) {
    const char* in = "    ";
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<root xmlns=\"urn:schemas-upnp-org:device-1-0\">\n"
        "  <specVersion>\n    <major>1</major>\n    <minor>0</minor>\n  </specVersion>\n";
    if (!f.url_base.empty()) element(out, "  ", "URLBase", f.url_base);
    out += "  <device>\n";
    element(out, in, "deviceType", f.device_type);
    element(out, in, "friendlyName", f.friendly_name);
    element(out, in, "manufacturer", f.manufacturer);
    element(out, in, "manufacturerURL", f.manufacturer_url);
    element(out, in, "modelDescription", f.model_description);
    element(out, in, "modelName", f.model_name);
    element(out, in, "modelNumber", f.model_number);
    element(out, in, "modelURL", f.model_url);
    element(out, in, "serialNumber", f.serial_number);
    element(out, in, "UDN", f.udn);
    element(out, in, "presentationURL", f.presentation_url);
    out += "  </device>\n</root>\n";
    return out;
}

std::string ssdp_reply(const std::string& location, const std::string& usn) {
    return "HTTP/1.1 200 OK\r\n"
           "CACHE-CONTROL: max-age=100\r\n"
           "EXT:\r\n"
           "LOCATION: " +
           location +
           "\r\n"
           "SERVER: Linux/6.1 UPnP/1.0 glowrig-sim/0.1\r\n"
           "ST: upnp:rootdevice\r\n"
           "USN: " +
           usn + "\r\n\r\n";
}

struct SsdpResponder::Impl {
    mutable std::mutex mutex;  // guards replies
    std::vector<std::string> replies;
    std::atomic<std::size_t> searches{0};
    std::unique_ptr<UdpResponder> udp;  // last: stops before the rest goes

    // The replies to one datagram: every reply for a search, nothing else.
    std::vector<std::string> answer(const std::string& datagram) {
        if (datagram.compare(0, 8, "M-SEARCH") != 0) return {};
        ++searches;
        std::lock_guard<std::mutex> lock(mutex);
        return replies;
    }
};

SsdpResponder::SsdpResponder(const std::string& location, std::string address)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->replies.push_back(
        ssdp_reply(location, "uuid:sim-" + std::to_string(g_next_uuid++) + "::upnp:rootdevice"));
    m_impl->udp = std::make_unique<UdpResponder>(
        address, "SSDP responder",
        [impl = m_impl.get()](const std::string& datagram) { return impl->answer(datagram); });
}

SsdpResponder::~SsdpResponder() { stop(); }

void SsdpResponder::set_replies(std::vector<std::string> replies) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->replies = std::move(replies);
}

void SsdpResponder::start(unsigned short port) { m_impl->udp->start(port); }

void SsdpResponder::stop() { m_impl->udp->stop(); }

unsigned short SsdpResponder::port() const { return m_impl->udp->port(); }

std::string SsdpResponder::endpoint() const { return m_impl->udp->endpoint(); }

std::size_t SsdpResponder::searches() const { return m_impl->searches; }

}  // namespace Sim
