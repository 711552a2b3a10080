#ifndef GLOWRIG_SIM_SERVER_HPP_
#define GLOWRIG_SIM_SERVER_HPP_

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace Sim {

class SimBridge;

// How a listener of the server answers.
enum class Transport {
    plain,     // HTTP
    tls,       // HTTP over TLS, with a certificate made at open()
    redirect,  // HTTP, every request answered 301 to the https address of a tls listener
};

// Serves simulated bridges over HTTP/1.1 with keep-alive, each on its own
// address and port, plain or over TLS. Every connection gets a number, from 1
// upwards across the server, which the bridge logs with each request on it.
// Each connection is served on a thread of its own. A tls listener also
// serves the bridge's event stream (GET /eventstream/clip/v2), which holds its
// connection until the client goes away, the bridge drops its streams, the
// certificate is renewed or the server closes.
class Server {
public:
    Server();
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Serves `bridge` at {address}:{port} once open() is called; `address` is
    // a numeric IPv4 or IPv6 address, port 0 picks a free port at open().
    // A tls listener's certificate names the bridge's id in lower case.
    // Returns the listener's index for port().
    std::size_t add(const std::string& address, unsigned short port,
                    std::shared_ptr<SimBridge> bridge, Transport transport = Transport::plain);

    // Adds a listener at {address}:{port} that logs each request with the
    // bridge of the tls listener `tls_index` and answers it 301 to the same
    // path on that listener.
    std::size_t add_redirect(const std::string& address, unsigned short port,
                             std::size_t tls_index);

    // Serves the bridges added from now on through a relay that writes each
    // reply's header and body separately with Nagle's algorithm on.
    void split_replies();

    // Starts listening on every address. Throws when one cannot be bound.
    void open();

    // The port the listener of `index` listens on; after open(), the one
    // picked for port 0.
    unsigned short port(std::size_t index) const;

    // The SHA-256 fingerprint of the tls listener's certificate (upper-case
    // hex pairs joined by ':'); empty for other listeners.
    std::string fingerprint(std::size_t index) const;

    // The tls listener's certificate in PEM; empty for other listeners.
    std::string certificate_pem(std::size_t index) const;

    // Gives the tls listener `index` a new key and certificate naming
    // `common_name` (empty: the bridge's id in lower case) and closes its
    // connections, as a bridge that was reset or replaced does.
    void renew_certificate(std::size_t index, const std::string& common_name = std::string());

    // Stops listening and closes every connection. Also done by the destructor.
    void close();

private:
    struct Listener;
    std::vector<std::unique_ptr<Listener>> m_listeners;
    bool m_open = false;
    bool m_split_replies = false;
    std::atomic<int> m_numbers{0};  // connections accepted so far
};

// Returns a TCP port of the numeric IPv4 address `address` that is free now
// (bound with port 0 and released at once: another program may take it
// before it is used). Throws boost::system::system_error when none can be bound.
unsigned short free_port(const std::string& address);

}  // namespace Sim

#endif  // GLOWRIG_SIM_SERVER_HPP_
