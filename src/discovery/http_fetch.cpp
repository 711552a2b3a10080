#include "discovery/http_fetch.hpp"

#include <utility>

#include "http/exchange.hpp"

namespace UPnP {

std::function<void()> fetch_http(boost::asio::io_context& io, const HttpUrl& url,
                                 std::chrono::milliseconds timeout, std::size_t cap,
                                 std::function<void(std::optional<std::string>)> done) {
    return Http::fetch(io, url, timeout, cap, std::move(done));
}

}  // namespace UPnP
