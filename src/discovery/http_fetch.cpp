#include "discovery/http_fetch.hpp"

#include <array>
#include <cctype>
#include <memory>
#include <utility>

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>

#include "discovery/ssdp_reply.hpp"

namespace UPnP {
namespace {

namespace asio = boost::asio;
using asio::ip::tcp;

// A response whose header is longer than this is refused.
constexpr std::size_t kMaxHeader = 16 * 1024;

bool all_digits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// One GET in flight. Owned by the handlers of its pending operations.
class Fetch : public std::enable_shared_from_this<Fetch> {
public:
    Fetch(asio::io_context& io, const HttpUrl& url, std::size_t cap,
          std::function<void(std::optional<std::string>)> done)
        : m_socket(io), m_timer(io), m_cap(cap), m_done(std::move(done)) {
        const bool v6 = url.host.find(':') != std::string::npos;
        const std::string host = v6 ? "[" + url.host + "]" : url.host;
        m_request = "GET " + url.target + " HTTP/1.0\r\nHost: " + host + ":" +
                    std::to_string(url.port) + "\r\nConnection: close\r\n\r\n";
    }

    void start(const tcp::endpoint& peer, std::chrono::milliseconds timeout) {
        auto self = shared_from_this();
        m_timer.expires_after(timeout);
        m_timer.async_wait([self](const boost::system::error_code& ec) {
            if (!ec) self->finish(std::nullopt);
        });
        m_socket.async_connect(peer, [self](const boost::system::error_code& ec) {
            if (ec) return self->finish(std::nullopt);
            asio::async_write(self->m_socket, asio::buffer(self->m_request),
                              [self](const boost::system::error_code& wec, std::size_t) {
                                  if (wec) return self->finish(std::nullopt);
                                  self->read();
                              });
        });
    }

    void finish(std::optional<std::string> body) {
        if (!m_done) return;
        auto done = std::move(m_done);
        m_done = nullptr;
        boost::system::error_code ignored;
        m_timer.cancel();
        m_socket.close(ignored);
        done(std::move(body));
    }

private:
    void read() {
        auto self = shared_from_this();
        m_socket.async_read_some(
            asio::buffer(m_chunk), [self](const boost::system::error_code& ec, std::size_t n) {
                if (!self->m_done) return;
                const bool closed = ec == asio::error::eof;
                if (ec && !closed) return self->finish(std::nullopt);
                self->m_received.append(self->m_chunk.data(), n);
                std::string body;
                switch (read_http_response(self->m_received, closed, self->m_cap, &body)) {
                    case HttpResponseState::complete:
                        return self->finish(std::move(body));
                    case HttpResponseState::failed:
                        return self->finish(std::nullopt);
                    case HttpResponseState::incomplete:
                        return self->read();
                }
            });
    }

    tcp::socket m_socket;
    asio::steady_timer m_timer;
    std::size_t m_cap;
    std::function<void(std::optional<std::string>)> m_done;  // null once called
    std::string m_request;
    std::string m_received;
    std::array<char, 8192> m_chunk{};
};

}  // namespace

std::optional<HttpUrl> parse_http_url(std::string_view url) {
    constexpr std::string_view scheme = "http://";
    if (url.size() < scheme.size() || !iequals(url.substr(0, scheme.size()), scheme)) {
        return std::nullopt;
    }
    for (char c : url) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7f) return std::nullopt;
    }
    std::string_view rest = url.substr(scheme.size());
    const auto authority_end = rest.find_first_of("/?#");
    const std::string_view authority = rest.substr(0, authority_end);
    std::string_view target =
        authority_end == std::string_view::npos ? std::string_view() : rest.substr(authority_end);
    target = target.substr(0, target.find('#'));

    HttpUrl result;
    std::string_view host;
    std::string_view port;
    bool v6 = false;
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = authority.substr(1, close - 1);
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') return std::nullopt;
            port = after.substr(1);
            if (port.empty()) return std::nullopt;
        }
        v6 = true;
    } else {
        const auto colon = authority.find(':');
        host = authority.substr(0, colon);
        if (colon != std::string_view::npos) {
            port = authority.substr(colon + 1);
            if (port.empty()) return std::nullopt;
        }
    }
    if (host.empty() || host.find('%') != std::string_view::npos) return std::nullopt;
    boost::system::error_code ec;
    const auto address = asio::ip::make_address(std::string(host), ec);
    if (ec || address.is_v6() != v6) return std::nullopt;
    if (!port.empty()) {
        if (port.size() > 5 || !all_digits(port)) return std::nullopt;
        const unsigned long number = std::stoul(std::string(port));
        if (number == 0 || number > 65535) return std::nullopt;
        result.port = static_cast<unsigned short>(number);
    }
    result.host = std::string(host);
    result.target =
        target.empty() || target.front() != '/' ? "/" + std::string(target) : std::string(target);
    return result;
}

HttpResponseState read_http_response(std::string_view received, bool closed, std::size_t cap,
                                     std::string* body) {
    auto header_end = received.find("\r\n\r\n");
    std::size_t body_start = header_end + 4;
    const auto lf_end = received.find("\n\n");
    if (lf_end != std::string_view::npos &&
        (header_end == std::string_view::npos || lf_end < header_end)) {
        header_end = lf_end;
        body_start = lf_end + 2;
    }
    if (header_end == std::string_view::npos) {
        if (closed || received.size() > kMaxHeader) return HttpResponseState::failed;
        return HttpResponseState::incomplete;
    }
    if (header_end > kMaxHeader) return HttpResponseState::failed;

    const auto reply = parse_ssdp_reply(received.substr(0, header_end));
    if (!reply || reply->status != 200) return HttpResponseState::failed;
    const std::string coding = reply->header("transfer-encoding");
    if (!coding.empty() && !iequals(coding, "identity")) return HttpResponseState::failed;

    const std::string_view content = received.substr(body_start);
    const std::string length_text = reply->header("content-length");
    if (!length_text.empty()) {
        if (length_text.size() > 12 || !all_digits(length_text)) return HttpResponseState::failed;
        const auto length = static_cast<std::size_t>(std::stoull(length_text));
        if (length > cap) return HttpResponseState::failed;
        if (content.size() >= length) {
            body->assign(content.substr(0, length));
            return HttpResponseState::complete;
        }
        return closed ? HttpResponseState::failed : HttpResponseState::incomplete;
    }
    if (content.size() > cap) return HttpResponseState::failed;
    if (!closed) return HttpResponseState::incomplete;
    body->assign(content);
    return HttpResponseState::complete;
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
        fetch->start(tcp::endpoint(address, url.port), timeout);
    }
    std::weak_ptr<Fetch> weak = fetch;
    return [weak] {
        if (auto alive = weak.lock()) alive->finish(std::nullopt);
    };
}

}  // namespace UPnP
