#ifndef GLOWRIG_HTTP_CONNECTION_HPP_
#define GLOWRIG_HTTP_CONNECTION_HPP_

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "http/endpoint.hpp"
#include "http/exchange.hpp"

namespace boost {
namespace asio {
class io_context;
}
}  // namespace boost

namespace Http {

// How one request on one connection ended.
struct Outcome {
    std::optional<Failure> failure;
    std::string body;         // of a 200 reply
    std::string retry_after;  // of a reply other than 200
    bool keep = false;        // the connection can carry another request
    bool stale = false;       // a reused connection that the peer had closed: nothing was sent
};

// One connection to a peer, plain or TLS, carrying one request at a time:
// it connects (looking a peer known by name up first), shakes hands, runs the
// certificate check before every request, writes the request and reads its
// reply within one deadline. Runs on the thread running its io_context; the
// handlers of its pending operations keep it alive. Not thread-safe.
class Connection {
public:
    virtual ~Connection() = default;

    // Whether a request may go on this connection: it is open and the peer
    // has neither closed it nor sent unasked bytes of HTTP.
    virtual bool usable() = 0;

    // Sends one request for `target` (connecting first when not connected)
    // and calls `done` once with how it ended, by `deadline`. A connection
    // that carried a request before and that the peer closed meanwhile ends
    // with `stale` set when nothing of the reply came. Unless `keep_alive`,
    // the request asks the peer to close the connection.
    virtual void run(Method method, const std::string& target, const std::string& body,
                     bool keep_alive, const Options& options,
                     std::chrono::steady_clock::time_point deadline,
                     std::function<void(Outcome)> done) = 0;

    // As run() for a GET whose body is handed to `handlers` as it arrives
    // (see open_stream); `done` gets the failure that ends the stream.
    virtual void run_stream(const Options& options, std::chrono::milliseconds silence,
                            StreamHandlers handlers, std::function<void(Outcome)> done) = 0;

    // Ends the request in flight as a failed connection; nothing when there
    // is none.
    virtual void cancel() = 0;

    // Closes the connection; no handler is called any more.
    virtual void abandon() = 0;
};

// Returns a connection to `peer` on `io`, not yet connected; over TLS set up
// with the authorities of `options`.
std::shared_ptr<Connection> make_connection(boost::asio::io_context& io, const Endpoint& peer,
                                            const Options& options);

}  // namespace Http

#endif  // GLOWRIG_HTTP_CONNECTION_HPP_
