#ifndef GLOWRIG_TESTS_SUPPORT_RAW_TCP_SERVER_HPP_
#define GLOWRIG_TESTS_SUPPORT_RAW_TCP_SERVER_HPP_

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "http/endpoint.hpp"

namespace TestingSupport {

// A stand-in for a broken bridge: listens on a free port of 127.0.0.1 and answers
// every request with the same raw bytes, then closes the connection or resets
// it. Its thread stops in the destructor.
class RawTcpServer {
public:
    // How a connection ends after the reply bytes are written.
    enum class Ending {
        close,  // an orderly close (FIN)
        reset,  // a reset (RST): SO_LINGER with a zero time-out
    };

    // What a misbehaving peer writes after the reply bytes, before the ending.
    struct Sequel {
        std::string later;     // one more write, after `pause`: a segment of its own
        std::string repeated;  // written again and again, `pause` apart, until
                               // the client goes away or the server stops
        std::chrono::milliseconds pause{0};
    };

    // A peer that keeps its connections open for more requests.
    struct Kept {
        // The connections, in the order they come, answer this many requests
        // each, then read one more and write `cut` before the ending.
        // Connections past the list answer one request, as without Kept.
        std::vector<std::size_t> answers;
        std::string cut;  // what the last request gets: nothing, or part of a reply
    };

    // Starts answering at once. Fails the running test when no port can be bound.
    RawTcpServer(std::string reply, Ending ending);

    // As above, with `sequel` written after the reply bytes.
    RawTcpServer(std::string reply, Ending ending, Sequel sequel);

    // As above, keeping connections as `kept` says.
    RawTcpServer(std::string reply, Ending ending, Kept kept);
    ~RawTcpServer();
    RawTcpServer(const RawTcpServer&) = delete;
    RawTcpServer& operator=(const RawTcpServer&) = delete;

    // The address it listens on, "127.0.0.1:PORT".
    const std::string& address() const;

    // "METHOD PATH" of every request received, in order.
    std::vector<std::string> request_lines() const;

    // Every request received, in order, as its bytes came.
    std::vector<std::string> requests() const;

    // The connections accepted so far.
    std::size_t connections() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// `target` on the raw peer `peer`, over plain HTTP.
Http::Endpoint at(const RawTcpServer& peer, const char* target);

}  // namespace TestingSupport

#endif  // GLOWRIG_TESTS_SUPPORT_RAW_TCP_SERVER_HPP_
