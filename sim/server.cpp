#include "sim/server.hpp"

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/context.hpp>
#include <boost/asio/ssl/stream.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/http/write.hpp>
#include <poll.h>
#include <sys/socket.h>

#include "sim/certificate.hpp"
#include "sim/event_stream_route.hpp"
#include "sim/sim_bridge.hpp"
#include "sim/sim_thread.hpp"
#include "sim/tcp_relay.hpp"

namespace Sim {
namespace {
namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace ssl = asio::ssl;
using tcp = asio::ip::tcp;

// How often open() picks another free port when it cannot bind the one it
// picked (another program took it in between).
constexpr int kPortAttempts = 5;

// The largest request body read; glowrig's are a few hundred bytes.
constexpr std::size_t kRequestBodyLimit = 1024 * 1024;

// The stream requests are read from and replies written to: the socket itself
// or TLS over it. One type for both, so that the HTTP reading and writing code
// is compiled once, not once per kind of stream.
class Wire {
public:
    Wire(tcp::socket& socket, ssl::stream<tcp::socket&>* tls) : m_socket(socket), m_tls(tls) {}

    template <class Buffers>
    std::size_t read_some(const Buffers& buffers, beast::error_code& ec) {
        return m_tls ? m_tls->read_some(buffers, ec) : m_socket.read_some(buffers, ec);
    }

    template <class Buffers>
    std::size_t read_some(const Buffers& buffers) {
        return m_tls ? m_tls->read_some(buffers) : m_socket.read_some(buffers);
    }

    template <class Buffers>
    std::size_t write_some(const Buffers& buffers, beast::error_code& ec) {
        return m_tls ? m_tls->write_some(buffers, ec) : m_socket.write_some(buffers, ec);
    }

    template <class Buffers>
    std::size_t write_some(const Buffers& buffers) {
        return m_tls ? m_tls->write_some(buffers) : m_socket.write_some(buffers);
    }

private:
    tcp::socket& m_socket;
    ssl::stream<tcp::socket&>* m_tls;
};

// The reason phrases the simulator has always sent where they differ from the
// usual ones.
const char* reason_for(int status) {
    switch (status) {
        case 408:
            return "Request Time-out";
        case 413:
            return "Request Entity Too Large";
        case 414:
            return "Request Uri Too Large";
        case 416:
            return "Requested range not satisfiable";
        case 500:
            return "Internal Error";
        case 504:
            return "Gateway Time-out";
        case 505:
            return "HTTP Version not supported";
        default:
            return nullptr;
    }
}

// The first byte of a TLS record carrying a handshake message: what a client
// that speaks TLS sends first (its ClientHello).
constexpr unsigned char kTlsHandshake = 0x16;

// How long a refused TLS client may take to close after the reply.
constexpr int kRefusalLingerMs = 1000;

// True when the first byte the peer sends on `socket` (left unread) opens a TLS
// handshake; false when it is anything else or the peer closes first.
bool greets_with_tls(tcp::socket& socket) {
    unsigned char first = 0;
    beast::error_code ec;
    const std::size_t size = socket.receive(asio::buffer(&first, 1), tcp::socket::message_peek, ec);
    return !ec && size == 1 && first == kTlsHandshake;
}

// Answers a TLS greeting on a plain HTTP port as HTTP servers do: 400 and a
// close, at once, so that the client fails its handshake instead of waiting
// for a reply that never comes. What the client sent, and sends until it
// closes, is read and dropped, so that the close is orderly and the reply is
// not lost to a reset.
void refuse_tls_greeting(tcp::socket& socket) {
    static const char kReply[] =
        "HTTP/1.1 400 Bad Request\r\nContent-Type: text/plain\r\nContent-Length: 0\r\n"
        "Connection: close\r\n\r\n";
    const int fd = socket.native_handle();
    char dropped[16384];
    ::recv(fd, dropped, sizeof dropped, MSG_DONTWAIT);
    beast::error_code ec;
    asio::write(socket, asio::buffer(kReply, sizeof kReply - 1), ec);
    ::shutdown(fd, SHUT_WR);
    pollfd readable{fd, POLLIN, 0};
    while (::poll(&readable, 1, kRefusalLingerMs) == 1 &&
           ::recv(fd, dropped, sizeof dropped, 0) > 0) {
    }
}

std::string host_text(const std::string& address) {
    return address.find(':') != std::string::npos ? "[" + address + "]" : address;
}

// One accepted connection, served on a thread of its own.
struct Connection {
    explicit Connection(asio::io_context& io) : socket(io) {}
    tcp::socket socket;
    std::thread thread;
    int number = 0;
    std::atomic<bool> done{false};
    std::atomic<bool> interrupted{false};  // set by interrupt(), for a waiting event stream
    std::mutex mutex;                      // orders interrupt() and end() on the socket

    // Ends the connection's blocking reads and writes; its thread then ends.
    // An event stream waiting for events notices once its journal is woken.
    void interrupt() {
        std::lock_guard<std::mutex> lock(mutex);
        interrupted = true;
        if (socket.is_open()) ::shutdown(socket.native_handle(), SHUT_RDWR);
    }

    // Shuts the socket down and closes it, so the peer sees the end at once.
    void end() {
        std::lock_guard<std::mutex> lock(mutex);
        beast::error_code ignored;
        socket.shutdown(tcp::socket::shutdown_both, ignored);
        socket.close(ignored);
    }
};

}  // namespace

unsigned short free_port(const std::string& address) {
    asio::io_context io;
    const tcp::endpoint any(asio::ip::make_address(address), 0);
    tcp::acceptor acceptor(io, any);
    return acceptor.local_endpoint().port();
}

struct Server::Listener {
    std::string address;
    unsigned short port = 0;  // 0 until open() has picked one
    std::shared_ptr<SimBridge> bridge;
    Transport transport = Transport::plain;
    Listener* https = nullptr;            // where a redirect listener sends to
    std::atomic<int>* numbers = nullptr;  // the server's connection count
    bool split_replies = false;           // header and body in writes of their own
    std::unique_ptr<TcpRelay> relay;      // in front of the acceptor when splitting

    asio::io_context io;
    std::unique_ptr<tcp::acceptor> acceptor;
    std::thread accepting;
    std::atomic<bool> closing{false};
    std::mutex mutex;  // guards what follows
    std::shared_ptr<ssl::context> context;
    std::string fingerprint;
    std::string pem;
    std::vector<std::shared_ptr<Connection>> connections;

    bool relayed() const { return split_replies; }
    std::string listen_address() const { return relayed() ? "127.0.0.1" : address; }

    void renew(const std::string& common_name) {
        const std::string name = common_name.empty() ? bridge->certificate_name() : common_name;
        if (name.empty()) {
            throw std::invalid_argument(
                "a bridge served over TLS needs an id for its certificate: its configuration "
                "has neither \"bridgeid\" nor \"mac\"");
        }
        const Certificate made = make_certificate(name);
        auto fresh = std::make_shared<ssl::context>(ssl::context::tls_server);
        fresh->use_certificate_chain(asio::buffer(made.certificate_pem));
        fresh->use_private_key(asio::buffer(made.key_pem), ssl::context::pem);
        {
            std::lock_guard<std::mutex> lock(mutex);
            context = std::move(fresh);
            fingerprint = made.sha256;
            pem = made.certificate_pem;
            for (auto& c : connections) c->interrupt();
        }
        bridge->journal().wake();
    }

    void bind(unsigned short on) {
        const tcp::endpoint at(asio::ip::make_address(listen_address()), on);
        auto opened = std::make_unique<tcp::acceptor>(io);
        opened->open(at.protocol());
        opened->set_option(tcp::acceptor::reuse_address(true));
        opened->bind(at);
        opened->listen();
        acceptor = std::move(opened);
        port = acceptor->local_endpoint().port();
    }

    void open() {
        if (transport == Transport::tls && !context) renew(std::string());
        const unsigned short wanted = port;
        if (relayed()) {
            bind(0);
            relay = std::make_unique<TcpRelay>(address, wanted, port, true);
        } else {
            bind(wanted);
        }
        accepting = sim_thread([this] { accept_all(); });
        if (relay) port = relay->port();
    }

    void accept_all() {
        for (;;) {
            auto connection = std::make_shared<Connection>(io);
            beast::error_code ec;
            acceptor->accept(connection->socket, ec);
            if (ec) {
                if (closing) return;
                continue;
            }
            connection->number = ++*numbers;
            std::lock_guard<std::mutex> lock(mutex);
            reap();
            connection->thread = sim_thread([this, connection, tls = context] {
                serve(*connection, tls);
                connection->done = true;
            });
            connections.push_back(connection);
        }
    }

    // Joins the threads of the connections that ended. REQUIRES: mutex held.
    void reap() {
        for (auto c = connections.begin(); c != connections.end();) {
            if ((*c)->done) {
                (*c)->thread.join();
                c = connections.erase(c);
            } else {
                ++c;
            }
        }
    }

    void serve(Connection& connection, const std::shared_ptr<ssl::context>& tls) {
        beast::error_code ec;
        connection.socket.set_option(tcp::no_delay(true), ec);
        if (transport != Transport::tls) {
            if (greets_with_tls(connection.socket)) return refuse_tls_greeting(connection.socket);
            Wire wire(connection.socket, nullptr);
            return answer(wire, connection);
        }
        ssl::stream<tcp::socket&> stream(connection.socket, *tls);
        stream.handshake(ssl::stream_base::server, ec);
        Wire wire(connection.socket, &stream);
        if (!ec) answer(wire, connection);
    }

    // Answers requests on `stream` until the peer closes it or asks to, or an
    // event stream served on it ends.
    void answer(Wire& stream, Connection& connection) {
        const int number = connection.number;
        beast::flat_buffer buffer;
        for (;;) {
            http::request_parser<http::string_body> parser;
            parser.body_limit(kRequestBodyLimit);
            beast::error_code ec;
            http::read(stream, buffer, parser, ec);
            if (ec) return;
            const auto& request = parser.get();
            const std::string method(request.method_string());
            const std::string target(request.target());
            http::response<http::string_body> response;
            response.version(11);
            if (transport == Transport::redirect) {
                https->bridge->log(
                    LoggedRequest{method, target, request.body(), number, std::string()});
                response.result(http::status::moved_permanently);
                response.set(http::field::location, "https://" + host_text(https->address) + ":" +
                                                        std::to_string(https->port) + target);
            } else {
                Reply reply;
                if (transport == Transport::tls && is_event_stream_request(method, target) &&
                    !bridge->has_fault(method, target)) {
                    const std::string last_event_id(request["Last-Event-ID"]);
                    bridge->log(
                        LoggedRequest{method, target, request.body(), number, last_event_id});
                    if (bridge->has_user(std::string(request["hue-application-key"]))) {
                        const auto write = [&stream](const std::string& bytes) {
                            beast::error_code failed;
                            asio::write(stream, asio::buffer(bytes), failed);
                            return !failed;
                        };
                        serve_event_stream(*bridge, last_event_id, write, connection.interrupted);
                        return connection.end();
                    }
                    reply = event_stream_refusal();
                } else {
                    reply = bridge->handle(method, target, request.body(), number,
                                           std::string(request["hue-application-key"]));
                }
                if (reply.delay_ms > 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(reply.delay_ms));
                }
                response.result(static_cast<unsigned>(reply.status));
                if (!reply.reason.empty()) {
                    response.reason(reply.reason);
                } else if (const char* reason = reason_for(reply.status)) {
                    response.reason(reason);
                }
                if (!reply.retry_after.empty()) {
                    response.set(http::field::retry_after, reply.retry_after);
                }
                response.set(http::field::content_type, reply.content_type);
                response.body() = reply.body;
            }
            response.keep_alive(request.keep_alive());
            response.prepare_payload();
            http::write(stream, response, ec);
            if (ec || !response.keep_alive()) return;
        }
    }

    void close() {
        relay.reset();
        closing = true;
        if (acceptor) {
            ::shutdown(acceptor->native_handle(), SHUT_RDWR);
            beast::error_code ignored;
            if (accepting.joinable()) accepting.join();
            acceptor->close(ignored);
        }
        std::vector<std::shared_ptr<Connection>> ending;
        {
            std::lock_guard<std::mutex> lock(mutex);
            ending.swap(connections);
        }
        for (auto& c : ending) c->interrupt();
        bridge->journal().wake();
        for (auto& c : ending) c->thread.join();
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
                        std::shared_ptr<SimBridge> bridge, Transport transport) {
    auto listener = std::make_unique<Listener>();
    listener->address = address;
    listener->port = port;
    if (transport == Transport::tls) bridge->serve_clip_v2(true);
    listener->bridge = std::move(bridge);
    listener->transport = transport;
    listener->split_replies = m_split_replies && transport == Transport::plain;
    listener->numbers = &m_numbers;
    m_listeners.push_back(std::move(listener));
    return m_listeners.size() - 1;
}

std::size_t Server::add_redirect(const std::string& address, unsigned short port,
                                 std::size_t tls_index) {
    Listener& target = *m_listeners.at(tls_index);
    if (target.transport != Transport::tls) throw std::invalid_argument("not a tls listener");
    const std::size_t index = add(address, port, target.bridge, Transport::redirect);
    m_listeners[index]->https = &target;
    return index;
}

void Server::open() {
    try {
        for (auto& l : m_listeners) {
            for (int attempt = 1;; ++attempt) {
                try {
                    l->open();
                    break;
                } catch (const boost::system::system_error&) {
                    if (attempt == kPortAttempts || l->port != 0) throw;
                }
            }
        }
        m_open = true;
    } catch (...) {
        m_open = true;
        close();
        throw;
    }
}

void Server::split_replies() { m_split_replies = true; }

unsigned short Server::port(std::size_t index) const { return m_listeners.at(index)->port; }

std::string Server::fingerprint(std::size_t index) const {
    Listener& l = *m_listeners.at(index);
    std::lock_guard<std::mutex> lock(l.mutex);
    return l.fingerprint;
}

std::string Server::certificate_pem(std::size_t index) const {
    Listener& l = *m_listeners.at(index);
    std::lock_guard<std::mutex> lock(l.mutex);
    return l.pem;
}

void Server::renew_certificate(std::size_t index, const std::string& common_name) {
    Listener& l = *m_listeners.at(index);
    if (l.transport != Transport::tls) throw std::invalid_argument("not a tls listener");
    l.renew(common_name);
}

void Server::close() {
    if (!m_open) return;
    m_open = false;
    for (auto& l : m_listeners) l->close();
}

}  // namespace Sim
