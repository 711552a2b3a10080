#include "discovery/ssdp_finder.hpp"

#include <array>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/multicast.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>

#include "discovery/device_description.hpp"
#include "discovery/http_fetch.hpp"
#include "discovery/search_failure.hpp"
#include "discovery/ssdp_reply.hpp"

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

// One find: its socket, its window and its fetches. Everything but start(),
// cancel() and deliver() runs on the finder's thread.
class Search : public std::enable_shared_from_this<Search> {
public:
    Search(asio::io_context& io, const SsdpSettings& settings, std::string target,
           std::shared_ptr<DeviceFinderCallback> callback)
        : m_io(io),
          m_settings(settings),
          m_request(search_request(target)),
          m_callback(std::move(callback)),
          m_socket(io),
          m_resend(io),
          m_window(io) {}

    // Caller's thread. Opens the socket and sends the first datagram; the rest
    // happens on the finder's thread.
    void start() {
        // Held throughout, so that a concurrent cancel() waits for the socket.
        std::lock_guard<std::recursive_mutex> lock(m_deliver);
        if (m_started || m_cancelled) return;
        m_started = true;
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
        asio::post(m_io, [self = shared_from_this()] { self->arm(); });
    }

    // Any thread. No callback of this find runs after it returns, except the
    // one (if any) that called it.
    void cancel() {
        {
            std::lock_guard<std::recursive_mutex> lock(m_deliver);
            m_cancelled = true;
        }
        asio::post(m_io, [self = shared_from_this()] { self->close(); });
    }

private:
    void arm() {
        if (m_closed) return;
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
        const auto url = parse_http_url(location);
        if (!url || m_locations.size() >= m_settings.max_locations ||
            !m_locations.insert(location).second) {
            return;
        }
        ++m_pending;
        auto self = shared_from_this();
        m_fetches.push_back(fetch_http(m_io, *url, m_settings.fetch_timeout,
                                       m_settings.description_cap,
                                       [self, location](std::optional<std::string> body) {
                                           self->on_fetched(location, body);
                                       }));
    }

    void on_fetched(const std::string& location, const std::optional<std::string>& body) {
        --m_pending;
        if (body) {
            if (auto device = read_device_description(*body, location)) {
                deliver(
                    [&device](DeviceFinderCallback& callback) { callback.device_added(*device); });
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
        if (!m_window_closed || m_pending != 0 || m_completed) return;
        m_completed = true;
        deliver([](DeviceFinderCallback& callback) { callback.search_complete(); });
    }

    // Finder's thread, after cancel().
    void close() {
        m_closed = true;
        m_window_closed = true;
        boost::system::error_code ignored;
        m_window.cancel();
        m_resend.cancel();
        m_socket.close(ignored);
        auto fetches = std::move(m_fetches);
        m_fetches.clear();
        for (auto& stop : fetches) stop();
    }

    void deliver(const std::function<void(DeviceFinderCallback&)>& call) {
        std::lock_guard<std::recursive_mutex> lock(m_deliver);
        if (!m_cancelled) call(*m_callback);
    }

    asio::io_context& m_io;
    const SsdpSettings m_settings;
    const std::string m_request;
    const std::shared_ptr<DeviceFinderCallback> m_callback;

    // Guards m_started and m_cancelled, and is held while a callback runs.
    std::recursive_mutex m_deliver;
    bool m_started = false;
    bool m_cancelled = false;

    // Touched by start() before the finder's thread sees the search, then by
    // the finder's thread only.
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
    bool m_closed = false;
};

}  // namespace

struct SsdpDeviceFinder::Impl {
    explicit Impl(SsdpSettings s) : settings(std::move(s)), work(io.get_executor()) {}

    const SsdpSettings settings;
    asio::io_context io;
    asio::executor_work_guard<asio::io_context::executor_type> work;
    std::thread thread;

    std::mutex mutex;  // guards next and finds
    FindHandle next = 1;
    std::map<FindHandle, std::shared_ptr<Search>> finds;  // declared after io: goes first
};

SsdpDeviceFinder::SsdpDeviceFinder(SsdpSettings settings)
    : m_impl(std::make_shared<Impl>(std::move(settings))) {
    // The thread keeps the state alive, so that it may outlive this object
    // when the finder is destroyed from one of its own callbacks.
    m_impl->thread = std::thread([impl = m_impl] { impl->io.run(); });
}

SsdpDeviceFinder::~SsdpDeviceFinder() {
    std::map<FindHandle, std::shared_ptr<Search>> finds;
    {
        std::lock_guard<std::mutex> lock(m_impl->mutex);
        finds.swap(m_impl->finds);
    }
    for (auto& entry : finds) entry.second->cancel();
    finds.clear();
    m_impl->work.reset();
    m_impl->io.stop();
    if (m_impl->thread.get_id() == std::this_thread::get_id()) {
        m_impl->thread.detach();
    } else {
        m_impl->thread.join();
    }
}

SsdpDeviceFinder::FindHandle SsdpDeviceFinder::create_async_find(
    const std::string& search_target, std::shared_ptr<DeviceFinderCallback> callback) {
    if (!callback) throw std::invalid_argument("a find needs a callback");
    if (search_target.empty() || search_target.find_first_of("\r\n") != std::string::npos) {
        throw std::invalid_argument("bad search target");
    }
    auto search =
        std::make_shared<Search>(m_impl->io, m_impl->settings, search_target, std::move(callback));
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    const FindHandle handle = m_impl->next++;
    m_impl->finds.emplace(handle, std::move(search));
    return handle;
}

void SsdpDeviceFinder::start_async_find(FindHandle find) {
    std::shared_ptr<Search> search;
    {
        std::lock_guard<std::mutex> lock(m_impl->mutex);
        const auto found = m_impl->finds.find(find);
        if (found == m_impl->finds.end()) throw std::invalid_argument("unknown find handle");
        search = found->second;
    }
    search->start();
}

void SsdpDeviceFinder::cancel_async_find(FindHandle find) {
    std::shared_ptr<Search> search;
    {
        std::lock_guard<std::mutex> lock(m_impl->mutex);
        const auto found = m_impl->finds.find(find);
        if (found == m_impl->finds.end()) return;
        search = std::move(found->second);
        m_impl->finds.erase(found);
    }
    search->cancel();
}

}  // namespace UPnP
