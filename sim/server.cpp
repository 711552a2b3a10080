#include "sim/server.hpp"

#include <chrono>
#include <stdexcept>
#include <thread>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <cpprest/http_listener.h>

#include "sim/sim_bridge.hpp"
#include "sim/tcp_relay.hpp"

namespace sim {
namespace {

namespace http = web::http;
using Listener = http::experimental::listener::http_listener;

// How often open() picks another free port when the listener cannot bind the
// one it picked (another program took it in between).
constexpr int kPortAttempts = 5;

}  // namespace

unsigned short free_port(const std::string& address) {
    boost::asio::io_context io;
    const boost::asio::ip::tcp::endpoint any(boost::asio::ip::make_address(address), 0);
    boost::asio::ip::tcp::acceptor acceptor(io, any);
    return acceptor.local_endpoint().port();
}

struct Server::Listener {
    std::string address;
    unsigned short port = 0;  // 0 until open() has picked one
    std::shared_ptr<SimBridge> bridge;
    std::unique_ptr<sim::Listener> listener;
    std::unique_ptr<TcpRelay> relay;  // relays to `listener`
    bool split_replies = false;       // header and body in writes of their own

    // The address the REST library's listener binds: it cannot bind an IPv6
    // literal, so an IPv6 bridge is served on 127.0.0.1 behind a relay; so is
    // a bridge whose replies are split.
    bool relayed() const { return split_replies || address.find(':') != std::string::npos; }
    std::string listener_address() const { return relayed() ? "127.0.0.1" : address; }

    // Opens a listener on `port`; throws when it cannot be bound.
    void open_on(unsigned short on) {
        auto opened = std::make_unique<sim::Listener>("http://" + listener_address() + ":" +
                                                      std::to_string(on) + "/");
        auto target = bridge;
        opened->support([target](http::http_request request) {
            const std::string body = request.extract_utf8string(true).get();
            const Reply reply =
                target->handle(request.method(), request.relative_uri().to_string(), body);
            if (reply.delay_ms > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(reply.delay_ms));
            }
            http::http_response response(static_cast<http::status_code>(reply.status));
            if (!reply.reason.empty()) response.set_reason_phrase(reply.reason);
            response.set_body(reply.body, reply.content_type);
            request.reply(response).wait();
        });
        opened->open().wait();
        listener = std::move(opened);
        port = on;
    }

    void open() {
        const unsigned short wanted = port;
        if (wanted != 0 && !relayed()) return open_on(wanted);
        for (int attempt = 1;; ++attempt) {
            try {
                open_on(free_port(listener_address()));
                break;
            } catch (const std::exception&) {
                if (attempt == kPortAttempts) throw;
            }
        }
        if (relayed()) {
            relay = std::make_unique<TcpRelay>(address, wanted, port, split_replies);
            port = relay->port();
        }
    }
};

Server::Server() = default;

Server::~Server() {
    try {
        close();
    } catch (...) {
    }
}

std::size_t Server::add(const std::string& address, unsigned short port,
                        std::shared_ptr<SimBridge> bridge) {
    auto listener = std::make_unique<Listener>();
    listener->address = address;
    listener->port = port;
    listener->bridge = std::move(bridge);
    listener->split_replies = m_split_replies;
    m_listeners.push_back(std::move(listener));
    return m_listeners.size() - 1;
}

void Server::open() {
    try {
        for (auto& l : m_listeners) l->open();
        m_open = true;
    } catch (...) {
        m_open = true;
        close();
        throw;
    }
}

void Server::split_replies() { m_split_replies = true; }

unsigned short Server::port(std::size_t index) const { return m_listeners.at(index)->port; }

void Server::close() {
    if (!m_open) return;
    m_open = false;
    for (auto& l : m_listeners) {
        l->relay.reset();
        if (!l->listener) continue;
        try {
            l->listener->close().wait();
        } catch (...) {
        }
    }
}

}  // namespace sim
