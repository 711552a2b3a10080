#ifndef GLOWRIG_SIM_TCP_RELAY_HPP_
#define GLOWRIG_SIM_TCP_RELAY_HPP_

#include <memory>
#include <string>

namespace Sim {

// Accepts TCP connections on one address and passes every byte both ways
// between each of them and a connection of its own to a target port of
// 127.0.0.1. The simulator serves IPv6 addresses this way: the REST library's
// listener cannot bind an IPv6 address literal. With `split_replies`, each
// reply goes out as two writes, its status line and header, then its body,
// with Nagle's algorithm on, as many small embedded servers answer. Owns one
// thread; destroying the relay closes every connection and joins it.
class TcpRelay {
public:
    // Listens on `address` (numeric) and `port` (0: a free one) at once.
    // Throws boost::system::system_error when it cannot be bound.
    TcpRelay(const std::string& address, unsigned short port, unsigned short target_port,
             bool split_replies = false);
    ~TcpRelay();
    TcpRelay(const TcpRelay&) = delete;
    TcpRelay& operator=(const TcpRelay&) = delete;

    // The port it listens on.
    unsigned short port() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace Sim

#endif  // GLOWRIG_SIM_TCP_RELAY_HPP_
