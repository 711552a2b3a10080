#include "sim/ssdp_responder.hpp"

#include <array>
#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>

namespace sim {
namespace {

namespace asio = boost::asio;
using asio::ip::udp;

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
    asio::ip::address address;
    mutable std::mutex mutex;  // guards replies and port
    std::vector<std::string> replies;
    unsigned short port = 0;
    std::atomic<std::size_t> searches{0};

    // Present while running.
    std::unique_ptr<asio::io_context> io;
    std::unique_ptr<udp::socket> socket;
    std::thread thread;
    std::array<char, 65536> buffer{};
    udp::endpoint sender;

    void receive() {
        socket->async_receive_from(
            asio::buffer(buffer), sender,
            [this](const boost::system::error_code& ec, std::size_t n) {
                if (ec == asio::error::operation_aborted) return;
                if (!ec && std::string_view(buffer.data(), n).substr(0, 8) == "M-SEARCH") {
                    ++searches;
                    std::vector<std::string> answers;
                    {
                        std::lock_guard<std::mutex> lock(mutex);
                        answers = replies;
                    }
                    for (const auto& answer : answers) {
                        boost::system::error_code ignored;
                        socket->send_to(asio::buffer(answer), sender, 0, ignored);
                    }
                }
                receive();
            });
    }
};

SsdpResponder::SsdpResponder(const std::string& location, std::string address)
    : m_impl(std::make_unique<Impl>()) {
    boost::system::error_code ec;
    m_impl->address = asio::ip::make_address(address, ec);
    if (ec || !m_impl->address.is_loopback()) {
        throw std::invalid_argument("the SSDP responder binds to loopback addresses only");
    }
    m_impl->replies.push_back(
        ssdp_reply(location, "uuid:sim-" + std::to_string(g_next_uuid++) + "::upnp:rootdevice"));
}

SsdpResponder::~SsdpResponder() { stop(); }

void SsdpResponder::set_replies(std::vector<std::string> replies) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->replies = std::move(replies);
}

void SsdpResponder::start(unsigned short port) {
    if (m_impl->io) return;
    auto io = std::make_unique<asio::io_context>();
    auto socket = std::make_unique<udp::socket>(*io);
    const udp::endpoint local(m_impl->address, port);
    boost::system::error_code ec;
    socket->open(local.protocol(), ec);
    if (!ec) socket->bind(local, ec);
    if (ec) throw std::system_error(ec.value(), std::system_category(), "SSDP responder bind");
    {
        std::lock_guard<std::mutex> lock(m_impl->mutex);
        m_impl->port = socket->local_endpoint().port();
    }
    m_impl->io = std::move(io);
    m_impl->socket = std::move(socket);
    m_impl->receive();
    m_impl->thread = std::thread([impl = m_impl.get()] { impl->io->run(); });
}

void SsdpResponder::stop() {
    if (!m_impl->io) return;
    m_impl->io->stop();
    m_impl->thread.join();
    m_impl->socket.reset();
    m_impl->io.reset();
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->port = 0;
}

unsigned short SsdpResponder::port() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->port;
}

std::string SsdpResponder::endpoint() const {
    const std::string host = m_impl->address.to_string();
    const std::string port_text = std::to_string(port());
    return m_impl->address.is_v6() ? "[" + host + "]:" + port_text : host + ":" + port_text;
}

std::size_t SsdpResponder::searches() const { return m_impl->searches; }

}  // namespace sim
