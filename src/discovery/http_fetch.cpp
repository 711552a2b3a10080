#include "discovery/http_fetch.hpp"

#include <utility>

#include "http/exchange.hpp"

namespace UPnP {

std::optional<HttpUrl> parse_http_url(std::string_view url) {
    auto endpoint = Http::parse_url(url);
    if (!endpoint || endpoint->scheme != Http::Scheme::Http) return std::nullopt;
    return endpoint;
}

std::function<void()> fetch_http(boost::asio::io_context& io, const HttpUrl& url,
                                 std::chrono::milliseconds timeout, std::size_t cap,
                                 std::function<void(std::optional<std::string>)> done) {
    return Http::fetch(io, url, timeout, cap, std::move(done));
}

}  // namespace UPnP
