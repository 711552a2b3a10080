#ifndef GLOWRIG_SIM_SERVER_HPP_
#define GLOWRIG_SIM_SERVER_HPP_

#include <memory>
#include <string>
#include <vector>

namespace sim {

class SimBridge;

// Serves simulated bridges over HTTP, each on its own address. Close all
// listeners of one server together: the REST library keeps answering 404 on a
// closed address while another listener of the process stays open.
class Server {
public:
    Server();
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Serves `bridge` at http://{address}:{port}/ once open() is called.
    void add(const std::string& address, int port, std::shared_ptr<SimBridge> bridge);

    // Starts listening on every address. Throws when one cannot be bound.
    void open();

    // Stops listening. Also done by the destructor.
    void close();

private:
    struct Listener;
    std::vector<std::unique_ptr<Listener>> m_listeners;
    bool m_open = false;
};

}  // namespace sim

#endif  // GLOWRIG_SIM_SERVER_HPP_
