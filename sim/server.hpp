#ifndef GLOWRIG_SIM_SERVER_HPP_
#define GLOWRIG_SIM_SERVER_HPP_

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace sim {

class SimBridge;

// Serves simulated bridges over HTTP, each on its own address and port. Close all
// listeners of one server together: the REST library keeps answering 404 on a
// closed address while another listener of the process stays open.
class Server {
public:
    Server();
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Serves `bridge` at http://{address}:{port}/ once open() is called;
    // `address` is a numeric IPv4 or IPv6 address, port 0 picks a free port at open().
    // Returns the bridge's index for port().
    std::size_t add(const std::string& address, unsigned short port,
                    std::shared_ptr<SimBridge> bridge);

    // Serves the bridges added from now on through a relay that writes each
    // reply's header and body separately with Nagle's algorithm on.
    void split_replies();

    // Starts listening on every address. Throws when one cannot be bound.
    void open();

    // The port the bridge of `index` listens on; after open(), the one picked
    // for port 0.
    unsigned short port(std::size_t index) const;

    // Stops listening. Also done by the destructor.
    void close();

private:
    struct Listener;
    std::vector<std::unique_ptr<Listener>> m_listeners;
    bool m_open = false;
    bool m_split_replies = false;
};

// Returns a TCP port of the numeric IPv4 address `address` that is free now
// (bound with port 0 and released at once: another program may take it
// before it is used). Throws boost::system::system_error when none can be bound.
unsigned short free_port(const std::string& address);

}  // namespace sim

#endif  // GLOWRIG_SIM_SERVER_HPP_
