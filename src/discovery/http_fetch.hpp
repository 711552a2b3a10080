#ifndef GLOWRIG_DISCOVERY_HTTP_FETCH_HPP_
#define GLOWRIG_DISCOVERY_HTTP_FETCH_HPP_

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace boost {
namespace asio {
class io_context;
}
}  // namespace boost

namespace UPnP {

// Where a plain HTTP GET goes: a numeric address, a port and a request target.
struct HttpUrl {
    std::string host;  // IPv4 or IPv6 text, without brackets
    unsigned short port = 80;
    std::string target = "/";  // path and query, never empty
};

// Returns the parts of an "http://" URL whose host is a numeric IPv4 address
// or a bracketed IPv6 address, or nullopt for anything else (other schemes,
// host names, user info, bad ports, blanks or control characters). Host names
// are refused because resolving them can block beyond any deadline.
std::optional<HttpUrl> parse_http_url(std::string_view url);

// The state of a response read so far.
enum class HttpResponseState { incomplete, complete, failed };

// Examines the bytes of an HTTP/1.x response received so far; `closed` tells
// whether the peer has closed the connection. Returns complete, and stores the
// body in `*body`, for a whole 200 response whose body is at most `cap` bytes:
// delimited by Content-Length, or by the close when there is none. Returns
// failed for any other status, a malformed header, a chunked body, a body
// longer than `cap`, or a close before the body is whole.
HttpResponseState read_http_response(std::string_view received, bool closed, std::size_t cap,
                                     std::string* body);

// Sends "GET target HTTP/1.0" to `url` and calls `done` exactly once, on the
// thread running `io`, with the body of a complete 200 response, or with
// nullopt when the fetch failed, exceeded `cap`, took longer than `timeout`
// or was cancelled. If `io` is stopped first, `done` is destroyed uncalled.
// Returns an operation that cancels the fetch; call it only on the thread
// running `io`. It does nothing once `done` has been called.
std::function<void()> fetch_http(boost::asio::io_context& io, const HttpUrl& url,
                                 std::chrono::milliseconds timeout, std::size_t cap,
                                 std::function<void(std::optional<std::string>)> done);

}  // namespace UPnP

#endif  // GLOWRIG_DISCOVERY_HTTP_FETCH_HPP_
