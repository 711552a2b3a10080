#include "discovery/ssdp_finder.hpp"

#include <array>
#include <functional>
#include <optional>
#include <set>
#include <stdexcept>
#include <system_error>
#include <utility>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/multicast.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/asio/steady_timer.hpp>

#include "discovery/device_description.hpp"
#include "discovery/search_failure.hpp"
#include "discovery/ssdp_reply.hpp"
#include "http/exchange.hpp"

namespace UPnP {
namespace {

namespace asio = boost::asio;
using asio::ip::udp;

// The pause between the two search datagrams.
constexpr std::chrono::milliseconds kResendDelay{100};
// Receiving gives up after this many failed receives in a row.
constexpr int kMaxReceiveErrors = 16;

// The failure of a search to `settings`' address that could not be sent.
[[noreturn]] void throw_search_failure(const SsdpSettings& settings,
                                       const boost::system::error_code& ec) {
    throw Discovery::SearchFailure("SSDP search",
                                   Discovery::target_text(settings.address, settings.port),
                                   std::error_code(ec.value(), std::system_category()));
}

}  // namespace

// One search: its socket, its window and its fetches. Owned by its pending
// operations; runs on the thread running its io_context.
struct SsdpDeviceFinder::Search : std::enable_shared_from_this<Search> {
    Search(asio::io_context& io, const SsdpSettings& settings, const std::string& target,
           std::shared_ptr<DeviceFinderCallback> callback)
        : m_io(io),
          m_settings(settings),
          m_request(search_request(target)),
          m_callback(std::move(callback)),
          m_socket(io),
          m_resend(io),
          m_window(io) {}

    // Opens the socket and sends the first datagram, then waits for replies.
    void start() {
        boost::system::error_code ec;
        const auto address = asio::ip::make_address(m_settings.address, ec);
        if (ec) throw_search_failure(m_settings, ec);
        m_target = udp::endpoint(address, m_settings.port);
        m_socket.open(m_target.protocol(), ec);
        if (ec) throw_search_failure(m_settings, ec);
        if (address.is_multicast()) {
            m_socket.set_option(asio::ip::multicast::hops(2), ec);
            if (ec) throw_search_failure(m_settings, ec);
        }
        m_socket.bind(udp::endpoint(m_target.protocol(), 0), ec);
        if (ec) throw_search_failure(m_settings, ec);
        m_socket.send_to(asio::buffer(m_request), m_target, 0, ec);
        if (ec) throw_search_failure(m_settings, ec);
        arm();
    }

    // Ends the search at once: no callback runs any more.
    void cancel() {
        m_cancelled = true;
        m_window_closed = true;
        boost::system::error_code ignored;
        m_window.cancel();
        m_resend.cancel();
        m_socket.close(ignored);
        auto fetches = std::move(m_fetches);
        m_fetches.clear();
        for (auto& stop : fetches) stop();
    }

private:
    void arm() {
        auto self = shared_from_this();
        m_window.expires_after(m_settings.window);
        m_window.async_wait([self](const boost::system::error_code& ec) {
            if (!ec) self->close_window();
        });
        m_resend.expires_after(kResendDelay);
        m_resend.async_wait([self](const boost::system::error_code& ec) {
            if (ec || self->m_window_closed) return;
            self->m_socket.async_send_to(asio::buffer(self->m_request), self->m_target,
                                         [self](const boost::system::error_code&, std::size_t) {
                                             // A lost second datagram only costs replies.
                                         });
        });
        receive();
    }

    void receive() {
        auto self = shared_from_this();
        m_socket.async_receive_from(
            asio::buffer(m_datagram), m_sender,
            [self](const boost::system::error_code& ec, std::size_t size) {
                if (self->m_window_closed) return;
                if (ec) {
                    if (ec == asio::error::operation_aborted) return;
                    if (++self->m_receive_errors >= kMaxReceiveErrors) return;
                } else {
                    self->m_receive_errors = 0;
                    self->on_datagram(std::string_view(self->m_datagram.data(), size));
                }
                self->receive();
            });
    }

    void on_datagram(std::string_view datagram) {
        const std::string location = reply_location(datagram);
        const auto url = Http::read_endpoint(location, kDescriptionUrl);
        if (!url || m_locations.size() >= m_settings.max_locations ||
            !m_locations.insert(location).second) {
            return;
        }
        ++m_pending;
        auto self = shared_from_this();
        m_fetches.push_back(Http::fetch(m_io, *url, m_settings.fetch_timeout,
                                        m_settings.description_cap,
                                        [self, location](std::optional<std::string> body) {
                                            self->on_fetched(location, body);
                                        }));
    }

    void on_fetched(const std::string& location, const std::optional<std::string>& body) {
        --m_pending;
        if (m_cancelled) return;
        if (body) {
            if (auto device = read_device_description(*body, location)) {
                m_callback->device_added(*device);
            }
        }
        complete_if_done();
    }

    void close_window() {
        m_window_closed = true;
        boost::system::error_code ignored;
        m_resend.cancel();
        m_socket.close(ignored);
        complete_if_done();
    }

    void complete_if_done() {
        if (!m_window_closed || m_pending != 0 || m_completed || m_cancelled) return;
        m_completed = true;
        m_callback->search_complete();
    }

    asio::io_context& m_io;
    const SsdpSettings m_settings;
    const std::string m_request;
    const std::shared_ptr<DeviceFinderCallback> m_callback;
    udp::socket m_socket;
    udp::endpoint m_target;
    udp::endpoint m_sender;
    asio::steady_timer m_resend;
    asio::steady_timer m_window;
    std::array<char, 65536> m_datagram{};
    std::set<std::string> m_locations;
    std::vector<std::function<void()>> m_fetches;  // cancels every fetch started
    int m_receive_errors = 0;
    int m_pending = 0;
    bool m_window_closed = false;
    bool m_completed = false;
    bool m_cancelled = false;
};

SsdpDeviceFinder::SsdpDeviceFinder(asio::io_context& io, SsdpSettings settings)
    : m_io(io), m_settings(std::move(settings)) {}

SsdpDeviceFinder::~SsdpDeviceFinder() { cancel(); }

void SsdpDeviceFinder::start(const std::string& search_target,
                             std::shared_ptr<DeviceFinderCallback> callback) {
    if (!callback) throw std::invalid_argument("a search needs a callback");
    if (search_target.empty() || search_target.find_first_of("\r\n") != std::string::npos) {
        throw std::invalid_argument("bad search target");
    }
    if (m_started) return;
    m_started = true;
    auto search = std::make_shared<Search>(m_io, m_settings, search_target, std::move(callback));
    search->start();
    m_search = search;
}

void SsdpDeviceFinder::cancel() {
    if (const auto search = m_search.lock()) search->cancel();
}

}  // namespace UPnP
