#ifndef GLOWRIG_HTTP_EXCHANGE_HPP_
#define GLOWRIG_HTTP_EXCHANGE_HPP_

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "http/endpoint.hpp"

namespace boost {
namespace asio {
class io_context;
}
}  // namespace boost

namespace Http {

enum class Method { Get, Put, Post, Delete };

// The largest reply body read unless a caller asks for less.
inline constexpr std::size_t kBodyLimit = std::size_t{4} * 1024 * 1024;

// What a TLS peer showed of itself.
struct Certificate {
    std::string common_name;  // the subject's CN, empty when it has none
    std::string sha256;       // fingerprint: 32 bytes as upper-case hex pairs joined by ':'
};

// Decides whether a peer's certificate is acceptable for one request: returns
// nullopt to go on, or the one-line text of the failure.
using CertificateCheck = std::function<std::optional<std::string>(const Certificate&)>;

// How one exchange is run.
struct Options {
    // One deadline over the exchange, from its start to its last byte, waits
    // for refused requests included.
    std::chrono::milliseconds timeout{30000};
    std::size_t body_limit = kBodyLimit;
    // Https only: called before every request is written, with the peer's
    // certificate; no check when empty.
    CertificateCheck check;
    // Https only: a PEM file of certificate authorities the peer's chain must
    // lead to; empty: the chain is not checked.
    std::string ca_file;
    // More header fields sent with the request, in this order. A name or
    // value holding a line break or NUL fails the exchange unsent.
    std::vector<std::pair<std::string, std::string>> fields;
};

// Why an exchange failed.
enum class FailureKind {
    connect,       // no connection (refused, unreachable, out of time)
    tls,           // the TLS handshake failed or the chain did not verify
    certificate,   // the certificate check refused the peer
    write,         // the request could not be sent
    header,        // no complete, well-formed reply header in time
    header_limit,  // more than 64 KiB of header
    status,        // a status other than 200
    body,          // the body broke off, was malformed or came too late
    body_limit,    // the body passes the limit
};

// The failure of an exchange. what() is the text users see: the transport's
// texts for connection, header and body failures, "HTTP <code> <reason>" for
// a status other than 200.
class Failure : public std::runtime_error {
public:
    Failure(FailureKind kind, const std::string& text, int status = 0,
            std::string location = std::string());

    FailureKind kind() const { return m_kind; }
    // The status of a reply other than 200, else 0.
    int status() const { return m_status; }
    // The Location field of such a reply, empty when it had none.
    const std::string& location() const { return m_location; }

private:
    FailureKind m_kind;
    int m_status;
    std::string m_location;
};

// Sends one request to `endpoint` (with `body` as JSON unless it is empty) and
// returns the body of its 200 reply; throws Failure otherwise. Runs on the
// calling thread. Requests to one peer share one keep-alive connection per
// process, which is reopened once, transparently, when the peer closed it
// between requests. A reply 429 or 503 with a Retry-After of whole seconds
// is sent again once, after that wait; one without (or with none that reads)
// at most twice, a second apart; a wait that would not end before the
// deadline is not waited for, the refusal fails the exchange. These statuses
// say the request was not carried out, so a write is sent again too. No
// redirect is followed. Not thread-safe: the program uses its transport from
// one thread.
std::string exchange(const Endpoint& endpoint, Method method, const std::string& body,
                     const Options& options);

// Closes the connections exchange() keeps for later requests. A run of
// glowrig ends with it, so that the next run in the same process (as the
// tests run commands) opens connections of its own.
void end_kept_connections();

// True when a TCP connection to `endpoint`'s host and port is refused (the
// peer answers that nothing listens there) within `timeout`; false when it is
// accepted, or when nothing answers at all.
bool refuses_connections(const Endpoint& endpoint, std::chrono::milliseconds timeout);

// How an exchange run on an io_context ended: the body of its 200 reply, or
// its failure (and no body).
struct Ending {
    std::optional<Failure> failure;
    std::string body;
};

// As exchange(), but run on `io` rather than on the calling thread, on a
// connection of its own that is not kept for later requests (the same refusals
// are sent again, the waits timers on `io`): calls `done`
// exactly once, on the thread running `io`, with how it ended. A host name is
// looked up on a thread of its own (resolve_host_name), within the deadline.
// If `io` is stopped first, `done` is destroyed uncalled.
void start_exchange(boost::asio::io_context& io, const Endpoint& endpoint, Method method,
                    const std::string& body, const Options& options,
                    std::function<void(Ending)> done);

// Sends "GET target" to `endpoint` on a connection of its own on `io` and
// calls `done` exactly once, on the thread running `io`, with the body of a
// 200 reply of at most `cap` bytes, or with nullopt when the fetch failed,
// took longer than `timeout` or was cancelled. If `io` is stopped first,
// `done` is destroyed uncalled. Returns an operation that cancels the fetch;
// call it only on the thread running `io`. It does nothing once `done` has
// been called.
std::function<void()> fetch(boost::asio::io_context& io, const Endpoint& endpoint,
                            std::chrono::milliseconds timeout, std::size_t cap,
                            std::function<void(std::optional<std::string>)> done);

// What a stream hands its caller, on the thread running its io_context.
struct StreamHandlers {
    std::function<void()> opened;                 // the header of a 200 reply arrived
    std::function<void(std::string_view)> bytes;  // the next bytes of its body
    std::function<void(Failure)> ended;           // once: why the stream ended
};

// Sends "GET" to `endpoint` on a connection of its own on `io` and hands the
// body of its 200 reply over as it arrives (chunked, or up to the close; a
// Content-Length is taken as the end but nothing is set aside for it), for
// as long as the peer sends it: a body has no limit here, its reader bounds
// what it keeps. Connecting, the handshake, the certificate check and the
// header must be done within options.timeout; after that the stream fails when
// nothing arrives for `silence`. Every way it ends calls `ended` once with the
// failure: a status other than 200 (no `opened` then), the transport's texts,
// "Error: PEER sent nothing for 90 s.", "Error: the stream from PEER broke
// off." or, when its body came to its end, "Error: PEER ended the stream.".
// Returns an operation that closes the stream without calling any handler
// again; call it only on the thread running `io` (a handler may call it).
std::function<void()> open_stream(boost::asio::io_context& io, const Endpoint& endpoint,
                                  const Options& options, std::chrono::milliseconds silence,
                                  StreamHandlers handlers);

}  // namespace Http

#endif  // GLOWRIG_HTTP_EXCHANGE_HPP_
