#include "discovery/http_fetch.hpp"

#include <memory>
#include <utility>

#include <boost/algorithm/string/predicate.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/write.hpp>
#include <cpprest/base_uri.h>

#include "hue/address.hpp"
#include "hue/details/http_read.hpp"

namespace UPnP {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;

// One GET in flight. Owned by the handlers of its pending operations.
class Fetch : public std::enable_shared_from_this<Fetch> {
public:
    Fetch(asio::io_context& io, const HttpUrl& url, std::size_t cap,
          std::function<void(std::optional<std::string>)> done)
        : m_stream(io),
          m_request(http::verb::get, url.target, 11),
          m_cap(cap),
          m_done(std::move(done)) {
        m_request.set(http::field::host, Hue::url_host(url.host) + ":" + std::to_string(url.port));
        m_request.set(http::field::connection, "close");
    }

    void start(const asio::ip::tcp::endpoint& peer, std::chrono::milliseconds timeout) {
        // The expiry covers connecting, sending and reading alike.
        m_stream.expires_after(timeout);
        m_stream.async_connect(peer, [self = shared_from_this()](beast::error_code ec) {
            if (ec) return self->finish(std::nullopt);
            http::async_write(
                self->m_stream, self->m_request, [self](beast::error_code wec, std::size_t) {
                    if (wec) return self->finish(std::nullopt);
                    Hue::async_read_http_body(
                        self->m_stream, self->m_buffer, self->m_parser, self->m_cap,
                        [self](std::optional<std::string> body) { self->finish(std::move(body)); });
                });
        });
    }

    void finish(std::optional<std::string> body) {
        if (!m_done) return;
        auto done = std::move(m_done);
        m_done = nullptr;
        m_stream.close();
        done(std::move(body));
    }

private:
    beast::tcp_stream m_stream;
    http::request<http::empty_body> m_request;
    std::size_t m_cap;
    beast::flat_buffer m_buffer;
    Hue::HttpResponseParser m_parser;
    std::function<void(std::optional<std::string>)> m_done;  // null once called
};

}  // namespace

std::optional<HttpUrl> parse_http_url(std::string_view url) {
    const std::string text(url);
    if (!web::uri::validate(text)) return std::nullopt;  // also refuses blanks and controls
    const web::uri uri(text);
    if (uri.scheme() != "http" || uri.host().empty()) return std::nullopt;
    // web::uri reads ":0" and ":" as no port and clamps long ports, and drops
    // an empty user info: the authority as written must read back unchanged.
    const int port = uri.port();
    const std::string authority = uri.host() + (port > 0 ? ":" + std::to_string(port) : "");
    if (port > 65535 ||
        !boost::algorithm::iequals(text.substr(7, text.find_first_of("/?#", 7) - 7), authority)) {
        return std::nullopt;
    }
    std::string host = uri.host();
    const bool bracketed = host.front() == '[' && host.back() == ']';
    if (bracketed) host = host.substr(1, host.size() - 2);
    boost::system::error_code ec;
    const auto address = asio::ip::make_address(host, ec);
    // A zone ("%eth0") would make the address depend on this machine.
    if (ec || address.is_v6() != bracketed || host.find('%') != std::string::npos) {
        return std::nullopt;
    }
    const std::string query = uri.query();
    return HttpUrl{host, static_cast<unsigned short>(port > 0 ? port : 80),
                   uri.path() + (query.empty() ? "" : "?" + query)};
}

std::function<void()> fetch_http(asio::io_context& io, const HttpUrl& url,
                                 std::chrono::milliseconds timeout, std::size_t cap,
                                 std::function<void(std::optional<std::string>)> done) {
    auto fetch = std::make_shared<Fetch>(io, url, cap, std::move(done));
    boost::system::error_code ec;
    const auto address = asio::ip::make_address(url.host, ec);
    if (ec) {
        // parse_http_url never yields such a host; fail on the io thread all the same.
        asio::post(io, [fetch] { fetch->finish(std::nullopt); });
    } else {
        fetch->start(asio::ip::tcp::endpoint(address, url.port), timeout);
    }
    std::weak_ptr<Fetch> weak = fetch;
    return [weak] {
        if (auto alive = weak.lock()) alive->finish(std::nullopt);
    };
}

}  // namespace UPnP
