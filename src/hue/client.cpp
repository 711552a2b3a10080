#include "hue/client.hpp"

#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include <boost/algorithm/string/predicate.hpp>
#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/http/write.hpp>
#include <cpprest/http_msg.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include "hue/details/http_read.hpp"
#include "hue/text.hpp"

namespace Hue {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
using tcp = asio::ip::tcp;

beast::http::verb verb_of(Method method) {
    switch (method) {
        case Method::Put:
            return beast::http::verb::put;
        case Method::Post:
            return beast::http::verb::post;
        case Method::Delete:
            return beast::http::verb::delete_;
        case Method::Get:
            break;
    }
    return beast::http::verb::get;
}

// The largest reply body read. A bridge's whole state is far smaller; a
// larger body is refused before it is parsed, because a JSON tree takes many
// times the memory of its text.
constexpr std::size_t kMaxReplyBytes = 4 * 1024 * 1024;

// The failure texts, as users have always seen them.
constexpr const char* kResolveFailed = "Error resolving address";
constexpr const char* kConnectFailed = "Failed to connect to any resolved endpoint";
constexpr const char* kWriteFailed = "Failed to write request headers";
constexpr const char* kHeaderFailed = "Failed to read HTTP status line";
constexpr const char* kHeaderTooLarge = "Error: the reply's header is larger than 64 KiB.";
constexpr const char* kBodyFailed = "Failed to read response body";
constexpr const char* kBodyTooLarge = "Error: the reply is larger than 4 MiB.";

// Asks the kernel to acknowledge what arrives at once. A peer that writes its
// header and body in two segments with Nagle's algorithm on holds the body
// back until the header is acknowledged; a delayed acknowledgement would cost
// every such reply about 40 ms. The setting lapses by itself, so it is renewed
// before every read.
void acknowledge_at_once(tcp::socket& socket) {
    const int on = 1;
    ::setsockopt(socket.native_handle(), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

// A stream over a connected socket that renews acknowledge_at_once before each
// read: what the response reader reads through.
class QuickAckStream {
public:
    using executor_type = tcp::socket::executor_type;

    explicit QuickAckStream(tcp::socket& socket) : m_socket(socket) {}

    executor_type get_executor() { return m_socket.get_executor(); }

    template <class Buffers, class Handler>
    auto async_read_some(const Buffers& buffers, Handler&& handler) {
        acknowledge_at_once(m_socket);
        return m_socket.async_read_some(buffers, std::forward<Handler>(handler));
    }

    template <class Buffers, class Handler>
    auto async_write_some(const Buffers& buffers, Handler&& handler) {
        return m_socket.async_write_some(buffers, std::forward<Handler>(handler));
    }

private:
    tcp::socket& m_socket;
};

// One request and its reply on a connection of its own, run to its end on the
// calling thread within one deadline.
class Exchange {
public:
    Exchange(const web::uri& url, Method method, std::string body)
        : m_resolver(m_io), m_socket(m_io), m_stream(m_socket) {
        const std::string query = url.query();
        m_request.method(verb_of(method));
        m_request.target(url.path() + (query.empty() ? "" : "?" + query));
        m_request.version(11);
        const int port = url.port() > 0 ? url.port() : 80;
        m_host = url.host();
        m_port = static_cast<unsigned short>(port);
        m_request.set(beast::http::field::host,
                      port == 80 ? m_host : m_host + ":" + std::to_string(port));
        m_request.set(beast::http::field::connection, "close");
        if (!body.empty()) {
            m_request.set(beast::http::field::content_type, "application/json");
            m_request.body() = std::move(body);
        }
        m_request.prepare_payload();
    }

    // Returns the body of a 200 reply; throws web::http::http_exception else.
    std::string run(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        start();
        m_io.run_until(deadline);
        if (!m_failure && !m_finished) {
            // Out of time: whatever is pending ends now, and its handlers find
            // the failure already decided.
            fail(!m_connected                ? kConnectFailed
                 : m_parser.is_header_done() ? kBodyFailed
                                             : kHeaderFailed);
            beast::error_code ignored;
            m_resolver.cancel();
            m_socket.close(ignored);
            m_io.restart();
            m_io.run();
        }
        if (m_failure) throw web::http::http_exception(*m_failure);
        return std::move(m_parser.get().body());
    }

private:
    void start() {
        std::string host = m_host;
        if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
            host = host.substr(1, host.size() - 2);
        }
        beast::error_code ec;
        const auto address = asio::ip::make_address(host, ec);
        if (!ec) {
            connect(std::vector<tcp::endpoint>{tcp::endpoint(address, m_port)});
            return;
        }
        m_resolver.async_resolve(
            host, std::to_string(m_port),
            [this](beast::error_code rec, tcp::resolver::results_type found) {
                if (rec) return fail(kResolveFailed);
                connect(std::vector<tcp::endpoint>(found.begin(), found.end()));
            });
    }

    void connect(std::vector<tcp::endpoint> endpoints) {
        m_endpoints = std::move(endpoints);
        asio::async_connect(
            m_socket, m_endpoints, [this](beast::error_code ec, const tcp::endpoint&) {
                if (ec) return fail(kConnectFailed);
                m_socket.set_option(tcp::no_delay(true), ec);
                m_connected = true;
                beast::http::async_write(m_socket, m_request,
                                         [this](beast::error_code wec, std::size_t) {
                                             if (wec) return fail(kWriteFailed);
                                             read_reply();
                                         });
            });
    }

    void read_reply() {
        async_read_http_reply(m_stream, m_buffer, m_parser, kMaxReplyBytes,
                              [this](HttpRead result) {
                                  switch (result) {
                                      case HttpRead::ok:
                                          m_finished = true;
                                          break;
                                      case HttpRead::header_failed:
                                          return fail(kHeaderFailed);
                                      case HttpRead::header_too_large:
                                          return fail(kHeaderTooLarge);
                                      case HttpRead::not_ok:
                                          return fail_with_status();
                                      case HttpRead::body_failed:
                                          return fail(kBodyFailed);
                                      case HttpRead::body_too_large:
                                          return fail(kBodyTooLarge);
                                  }
                                  beast::error_code ignored;
                                  m_socket.close(ignored);
                              });
    }

    void fail_with_status() {
        const auto& reply = m_parser.get();
        std::string message = "HTTP " + std::to_string(reply.result_int());
        const auto reason = reply.reason();
        if (!reason.empty()) message += " " + std::string(reason);
        fail(message);
    }

    void fail(std::string message) {
        if (m_failure || m_finished) return;
        m_failure = std::move(message);
        beast::error_code ignored;
        m_socket.close(ignored);
    }

    asio::io_context m_io;
    tcp::resolver m_resolver;
    tcp::socket m_socket;
    QuickAckStream m_stream;
    std::vector<tcp::endpoint> m_endpoints;
    std::string m_host;
    unsigned short m_port = 80;
    beast::http::request<beast::http::string_body> m_request;
    beast::flat_buffer m_buffer;
    HttpResponseParser m_parser;
    bool m_connected = false;
    bool m_finished = false;
    std::optional<std::string> m_failure;
};

web::uri join(const web::uri& base, const std::string& path) {
    if (path.empty()) return base;
    web::uri_builder builder(base);
    builder.append(path);
    return builder.to_uri();
}

}  // namespace

Client::Client() : Client(web::uri("http://127.0.0.1/"), ClientConfig()) {}

Client::Client(const web::uri& base, const ClientConfig& client_config)
    : m_base(base), m_config(client_config) {}

web::uri Client::base_uri() const { return m_base; }

Client Client::with_path(const std::string& path) const {
    Client other(*this);
    // A URI without a port reports port 0: the default port.
    const int port = m_base.port() > 0 ? m_base.port() : 80;
    other.m_base = http_url(m_base.host(), path, static_cast<unsigned short>(port));
    return other;
}

web::uri http_url(const std::string& host, const std::string& path, unsigned short port) {
    web::uri_builder builder;
    builder.set_scheme("http").set_host(host).set_path(path);
    if (port != 80) builder.set_port(port);
    // Parsed again from its text: a built URI without a port reports port -1,
    // which the HTTP client cannot connect to; a parsed one means the default.
    const std::string text = builder.to_string();
    web::uri url(text);
    // A host text holding '/', '?', '#', '@' or ':' (a reported address such as
    // "127.0.0.9/x?") would turn into a path, query, user or port: refused.
    if (!boost::iequals(url.host(), host)) {
        throw web::uri_exception("provided uri is invalid: " + text);
    }
    return url;
}

pplx::task<web::json::value> Client::read(Method method, const std::string& path,
                                          const web::json::value& body) const {
    const web::uri url = join(m_base, path);
    std::string text = body.is_null() ? std::string() : body.serialize();
    const auto timeout = m_config.timeout;
    return pplx::create_task([url, method, text = std::move(text), timeout] {
        Exchange exchange(url, method, text);
        return read_json(exchange.run(timeout));
    });
}

pplx::task<web::json::value> Client::read_strict(Method method, const std::string& path,
                                                 const web::json::value& body) const {
    return read(method, path, body).then(reject_errors);
}

web::json::value read_json(const std::string& body) { return web::json::value::parse(body); }

web::json::value reject_errors(pplx::task<web::json::value> json) {
    web::json::value value = json.get();
    if (!value.is_array()) return value;
    for (const auto& element : value.as_array()) {
        if (element.is_object() && element.has_field("error")) {
            throw std::runtime_error(element.serialize());
        }
    }
    return value;
}

std::string path_segment(const std::string& id) {
    if (id == "." || id == "..") {
        std::string encoded;
        for (std::size_t i = 0; i < id.size(); ++i) encoded += "%2E";
        return encoded;
    }
    // encode_data_string keeps only the unreserved characters.
    return web::uri::encode_data_string(id);
}

pplx::task<void> nothing_to_send() { return pplx::task_from_result(); }

}  // namespace Hue
