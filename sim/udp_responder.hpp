#ifndef GLOWRIG_SIM_UDP_RESPONDER_HPP_
#define GLOWRIG_SIM_UDP_RESPONDER_HPP_

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Sim {

// A UDP socket on a loopback address that answers each datagram it receives
// with the datagrams `answer` returns, sent back to the sender, on a thread of
// its own. The search responders of the simulator are built on it. port() and
// endpoint() may be called from any thread; start() and stop() from one.
class UdpResponder {
public:
    // Called on the responder's thread with each datagram received.
    using Answer = std::function<std::vector<std::string>(const std::string& datagram)>;

    // Throws std::invalid_argument saying "the `what` binds to loopback
    // addresses only" when `address` is not a loopback address.
    UdpResponder(const std::string& address, const std::string& what, Answer answer);
    ~UdpResponder();  // stops

    UdpResponder(const UdpResponder&) = delete;
    UdpResponder& operator=(const UdpResponder&) = delete;

    // Binds to the address and `port` (0: a free one) and starts answering.
    // Throws std::system_error when binding fails. Does nothing when running.
    void start(unsigned short port);

    // Stops answering and releases the port. Does nothing when stopped.
    void stop();

    // The bound port; 0 before start().
    unsigned short port() const;

    // Returns "address:port" ("[address]:port" for IPv6).
    std::string endpoint() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace Sim

#endif  // GLOWRIG_SIM_UDP_RESPONDER_HPP_
