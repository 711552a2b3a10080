#include "discovery/mdns_finder.hpp"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <system_error>
#include <utility>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/multicast.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/asio/ip/v6_only.hpp>
#include <boost/asio/steady_timer.hpp>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include "discovery/bridge_id_fetch.hpp"
#include "discovery/search_failure.hpp"

namespace Discovery {
namespace {

namespace asio = boost::asio;
using asio::ip::udp;
using Bridges = std::vector<Hue::Bridge>;

// The pause between the two queries.
constexpr std::chrono::milliseconds kResendDelay{100};
// Receiving on a socket gives up after this many failed receives in a row.
constexpr int kMaxReceiveErrors = 16;
// Multicast DNS is sent with the largest hop limit (RFC 6762 §11).
constexpr int kHops = 255;
// What the failure lines call the search.
constexpr const char* kSearch = "mDNS query";
// The one port on which an announced bridge answers in plain HTTP: bridges
// announce their HTTPS port, whatever its number.
constexpr unsigned short kPlainHttpPort = 80;

// An address of an interface and its network mask.
struct Link {
    asio::ip::address address;
    asio::ip::address mask;
};

// True when `a` and `b` agree in every bit that `mask` sets.
bool same_network(const asio::ip::address& a, const asio::ip::address& b,
                  const asio::ip::address& mask) {
    if (a.is_v4() != b.is_v4() || a.is_v4() != mask.is_v4()) return false;
    if (a.is_v4()) {
        const auto m = mask.to_v4().to_uint();
        return (a.to_v4().to_uint() & m) == (b.to_v4().to_uint() & m);
    }
    const auto x = a.to_v6().to_bytes(), y = b.to_v6().to_bytes(), m = mask.to_v6().to_bytes();
    for (std::size_t i = 0; i < m.size(); ++i) {
        if ((x[i] & m[i]) != (y[i] & m[i])) return false;
    }
    return true;
}

asio::ip::address address_of(const sockaddr* sa) {
    if (sa->sa_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(sa);
        return asio::ip::address_v4(ntohl(in->sin_addr.s_addr));
    }
    const auto* in6 = reinterpret_cast<const sockaddr_in6*>(sa);
    asio::ip::address_v6::bytes_type bytes;
    std::copy(in6->sin6_addr.s6_addr, in6->sin6_addr.s6_addr + 16, bytes.begin());
    return asio::ip::address_v6(bytes);
}

// One interface that can send multicast, with its addresses of one family.
struct Interface {
    unsigned index = 0;
    bool v6 = false;
    std::vector<Link> links;
};

// The interfaces that are up, can send multicast and are not the loopback,
// once per family that has an address there.
std::vector<Interface> multicast_interfaces() {
    std::vector<Interface> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return found;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_netmask == nullptr) continue;
        const int family = entry->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_INET6) continue;
        const unsigned flags = entry->ifa_flags;
        if (!(flags & IFF_UP) || !(flags & IFF_MULTICAST) || (flags & IFF_LOOPBACK)) continue;
        const unsigned index = if_nametoindex(entry->ifa_name);
        if (index == 0) continue;
        const bool v6 = family == AF_INET6;
        auto it = std::find_if(found.begin(), found.end(),
                               [&](const Interface& i) { return i.index == index && i.v6 == v6; });
        if (it == found.end()) it = found.insert(found.end(), Interface{index, v6, {}});
        it->links.push_back({address_of(entry->ifa_addr), address_of(entry->ifa_netmask)});
    }
    freeifaddrs(list);
    return found;
}

// One socket of a search: where its query goes and whom it accepts answers from.
struct Channel {
    explicit Channel(asio::io_context& io) : socket(io) {}

    // True when a datagram from `sender` may be an answer to this channel's query.
    bool accepts(const udp::endpoint& peer) const {
        if (peer.port() != target.port()) return false;
        const auto from = peer.address();
        if (links.empty()) return from == target.address();
        if (from.is_v6() && from.to_v6().is_link_local()) return true;
        for (const Link& link : links) {
            if (same_network(from, link.address, link.mask)) return true;
        }
        return false;
    }

    udp::socket socket;
    udp::endpoint target;
    std::vector<Link> links;  // empty: answers come from the target only
    udp::endpoint sender;
    std::array<char, kMdnsMessageLimit + 1> buffer{};  // one byte more tells a datagram too large
    int errors = 0;
};

// "ADDRESS:PORT" of the channel's target, without an IPv6 scope.
std::string target_of(const Channel& channel) {
    const auto address = channel.target.address();
    const std::string text = address.is_v6()
                                 ? asio::ip::make_address_v6(address.to_v6().to_bytes()).to_string()
                                 : address.to_string();
    return target_text(text, channel.target.port());
}

// One search: its sockets, its window and the configuration reads it starts.
// Owned by its pending operations; runs on the thread running its io_context.
class Search : public std::enable_shared_from_this<Search> {
public:
    Search(asio::io_context& io, MdnsSettings settings, std::chrono::milliseconds window,
           std::function<void(Bridges)> done)
        : m_io(io),
          m_settings(std::move(settings)),
          m_window_length(window),
          m_id(static_cast<std::uint16_t>(std::random_device{}())),
          m_query(mdns_query(m_id)),
          m_done(std::move(done)),
          m_resend(io),
          m_window(io) {}

    // Opens the sockets and sends the first query on each, then waits for
    // answers. Throws SearchFailure when no query could be sent: every send
    // failed, or no interface can send multicast.
    void start() {
        open_channels();
        std::optional<SearchFailure> first_failure;
        std::size_t sent = 0;
        for (auto& channel : m_channels) {
            boost::system::error_code ec;
            channel->socket.send_to(asio::buffer(m_query), channel->target, 0, ec);
            if (!ec) {
                ++sent;
            } else if (!first_failure) {
                first_failure.emplace(kSearch, target_of(*channel),
                                      std::error_code(ec.value(), std::system_category()));
            }
        }
        if (sent == 0) {
            if (first_failure) throw *first_failure;
            throw SearchFailure(kSearch, "no network interface that can send multicast is up");
        }
        arm();
    }

private:
    void open_channels() {
        boost::system::error_code ec;
        if (!m_settings.address.empty()) {
            const auto address = asio::ip::make_address(m_settings.address, ec);
            if (!ec) {
                auto channel = std::make_unique<Channel>(m_io);
                channel->target = udp::endpoint(address, m_settings.port);
                channel->socket.open(channel->target.protocol(), ec);
                if (!ec) channel->socket.bind(udp::endpoint(channel->target.protocol(), 0), ec);
                if (!ec) m_channels.push_back(std::move(channel));
            }
            if (ec) {
                throw SearchFailure(kSearch, target_text(m_settings.address, m_settings.port),
                                    std::error_code(ec.value(), std::system_category()));
            }
            return;
        }
        for (const Interface& interface : multicast_interfaces()) {
            // An interface that cannot be used (gone meanwhile, no IPv6) is left out.
            auto channel = std::make_unique<Channel>(m_io);
            channel->links = interface.links;
            if (interface.v6) {
                auto group = asio::ip::make_address_v6(kMdnsGroupV6);
                group.scope_id(interface.index);
                channel->target = udp::endpoint(group, m_settings.port);
                channel->socket.open(udp::v6(), ec);
                if (!ec) channel->socket.set_option(asio::ip::v6_only(true), ec);
                if (!ec) channel->socket.bind(udp::endpoint(udp::v6(), 0), ec);
                if (!ec) {
                    channel->socket.set_option(
                        asio::ip::multicast::outbound_interface(interface.index), ec);
                }
            } else {
                channel->target =
                    udp::endpoint(asio::ip::make_address_v4(kMdnsGroupV4), m_settings.port);
                const auto local = interface.links.front().address.to_v4();
                channel->socket.open(udp::v4(), ec);
                if (!ec) channel->socket.bind(udp::endpoint(local, 0), ec);
                if (!ec) {
                    channel->socket.set_option(asio::ip::multicast::outbound_interface(local), ec);
                }
            }
            if (!ec) channel->socket.set_option(asio::ip::multicast::hops(kHops), ec);
            if (!ec) m_channels.push_back(std::move(channel));
        }
    }

    void arm() {
        auto self = shared_from_this();
        m_window.expires_after(m_window_length);
        m_window.async_wait([self](const boost::system::error_code& ec) {
            if (!ec) self->close_window();
        });
        m_resend.expires_after(kResendDelay);
        m_resend.async_wait([self](const boost::system::error_code& ec) {
            if (ec || self->m_window_closed) return;
            for (auto& channel : self->m_channels) {
                boost::system::error_code ignored;  // a lost second query only costs answers
                channel->socket.send_to(asio::buffer(self->m_query), channel->target, 0, ignored);
            }
        });
        for (auto& channel : m_channels) receive(*channel);
    }

    void receive(Channel& channel) {
        auto self = shared_from_this();
        channel.socket.async_receive_from(
            asio::buffer(channel.buffer), channel.sender,
            [self, &channel](const boost::system::error_code& ec, std::size_t size) {
                if (self->m_window_closed) return;
                if (ec) {
                    if (ec == asio::error::operation_aborted) return;
                    if (++channel.errors >= kMaxReceiveErrors) return;
                } else {
                    channel.errors = 0;
                    if (channel.accepts(channel.sender)) {
                        self->m_answers.add(std::string_view(channel.buffer.data(), size),
                                            self->m_id);
                    }
                }
                self->receive(channel);
            });
    }

    void close_window() {
        m_window_closed = true;
        m_resend.cancel();
        for (auto& channel : m_channels) {
            boost::system::error_code ignored;
            channel->socket.close(ignored);
        }
        std::vector<MdnsService> services = m_answers.services();
        if (services.size() > m_settings.max_bridges) services.resize(m_settings.max_bridges);
        m_found.resize(services.size());
        auto self = shared_from_this();
        for (std::size_t n = 0; n < services.size(); ++n) {
            const MdnsService& service = services[n];
            const Hue::Scheme scheme =
                service.port == kPlainHttpPort ? Hue::Scheme::Http : Hue::Scheme::Https;
            if (!service.bridge_id.empty()) {
                m_found[n] = bridge(service.bridge_id, service, scheme);
            } else {
                // An answer without an id: the bridge's configuration names it.
                ++m_pending;
                fetch_bridge_id(m_io, service.ip, service.port, scheme == Hue::Scheme::Https,
                                m_settings.config_timeout,
                                [self, n, service, scheme](std::string id) {
                                    if (!id.empty()) self->m_found[n] = bridge(id, service, scheme);
                                    --self->m_pending;
                                    self->finish();
                                });
            }
        }
        finish();
    }

    static Hue::Bridge bridge(const std::string& id, const MdnsService& service,
                              Hue::Scheme scheme) {
        return Hue::Bridge(id, {.scheme = scheme, .host = service.ip, .port = service.port});
    }

    void finish() {
        if (m_pending != 0 || m_completed) return;
        m_completed = true;
        Bridges bridges;
        for (auto& found : m_found) {
            if (found) bridges.push_back(*found);
        }
        m_done(std::move(bridges));
    }

    asio::io_context& m_io;
    const MdnsSettings m_settings;
    const std::chrono::milliseconds m_window_length;
    const std::uint16_t m_id;
    const std::string m_query;
    const std::function<void(Bridges)> m_done;
    std::vector<std::unique_ptr<Channel>> m_channels;
    asio::steady_timer m_resend;
    asio::steady_timer m_window;
    MdnsAnswers m_answers;
    std::vector<std::optional<Hue::Bridge>> m_found;  // one per service, in answer order
    int m_pending = 0;
    bool m_window_closed = false;
    bool m_completed = false;
};

}  // namespace

void find_mdns_bridges(asio::io_context& io, const MdnsSettings& settings,
                       std::chrono::milliseconds window, std::function<void(Bridges)> done) {
    std::make_shared<Search>(io, settings, window, std::move(done))->start();
}

}  // namespace Discovery
