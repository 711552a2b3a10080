#ifndef GLOWRIG_DISCOVERY_HTTP_FETCH_HPP_
#define GLOWRIG_DISCOVERY_HTTP_FETCH_HPP_

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "http/endpoint.hpp"

namespace boost {
namespace asio {
class io_context;
}
}  // namespace boost

namespace UPnP {

// Where a device description is fetched from.
using HttpUrl = Http::Endpoint;

// Where a device description may be fetched from (Http::read_endpoint): an
// "http://" URL whose host is a numeric IPv4 address or a bracketed IPv6
// address, with a path. Host names are refused because resolving them can
// block beyond any deadline.
constexpr Http::EndpointForms kDescriptionUrl{.urls = true, .only_plain = true, .paths = true};

// Http::fetch() of `url`: calls `done` exactly once, on the thread running
// `io`, with the body of a 200 reply of at most `cap` bytes, or with nullopt
// when the fetch failed, took longer than `timeout` or was cancelled. If `io`
// is stopped first, `done` is destroyed uncalled. Returns an operation that
// cancels the fetch; call it only on the thread running `io`.
std::function<void()> fetch_http(boost::asio::io_context& io, const HttpUrl& url,
                                 std::chrono::milliseconds timeout, std::size_t cap,
                                 std::function<void(std::optional<std::string>)> done);

}  // namespace UPnP

#endif  // GLOWRIG_DISCOVERY_HTTP_FETCH_HPP_
