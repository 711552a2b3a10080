#include "http/connection.hpp"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/context.hpp>
#include <boost/asio/ssl/stream.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/http/buffer_body.hpp>
#include <boost/beast/http/string_body.hpp>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <sys/socket.h>

#include "http/host_name.hpp"
#include "http/read_reply.hpp"
#include "http/request.hpp"
#include "util/text.hpp"

namespace Http {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace ssl = asio::ssl;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;

// The failure texts, as users have always seen them.
constexpr const char* kConnectFailed = "Failed to connect to any resolved endpoint";
constexpr const char* kWriteFailed = "Failed to write request headers";
constexpr const char* kHeaderFailed = "Failed to read HTTP status line";
constexpr const char* kHeaderTooLarge = "Error: the reply's header is larger than 64 KiB.";
constexpr const char* kBodyFailed = "Failed to read response body";
constexpr const char* kBodyTooLarge = "Error: the reply is larger than 4 MiB.";
constexpr const char* kBadField = "Error: a header field holds a line break.";
// Asks the kernel to acknowledge what arrives at once. A peer that writes its
// header and body in two segments with Nagle's algorithm on holds the body
// back until the header is acknowledged; a delayed acknowledgement would cost
// every such reply about 40 ms. The setting lapses by itself, so it is renewed
// before every read.
void acknowledge_at_once(tcp::socket& socket) {
    const int on = 1;
    ::setsockopt(socket.native_handle(), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

// The room each read may fill.
constexpr std::size_t kReadRoom = 64 * 1024;

// The most bytes a connection's read buffer holds: a header and a read or two
// beyond it. The parser takes a body's bytes out as they come, but keeps a
// line it needs whole (a chunk's size with its extensions) until the line
// ends: a peer that never ends one fails the read here instead of filling
// the memory.
constexpr std::size_t kBufferLimit = kHttpHeaderLimit + 2 * kReadRoom;

// The most bytes of a stream's body handed over at once.
constexpr std::size_t kStreamRoom = 16 * 1024;

// The stream requests are written and replies read through: the socket
// itself, or TLS over it once use_tls() named the TLS stream. Renews
// acknowledge_at_once before each read. One type for both, so the HTTP
// reading and writing code is compiled once, not once per kind of stream.
class Wire {
public:
    using executor_type = tcp::socket::executor_type;

    explicit Wire(tcp::socket& socket) : m_socket(socket) {}

    void use_tls(ssl::stream<tcp::socket&>& tls) { m_tls = &tls; }

    executor_type get_executor() { return m_socket.get_executor(); }

    template <class Buffers, class Handler>
    void async_read_some(const Buffers& buffers, Handler&& handler) {
        acknowledge_at_once(m_socket);
        if (m_tls) return m_tls->async_read_some(buffers, std::forward<Handler>(handler));
        m_socket.async_read_some(buffers, std::forward<Handler>(handler));
    }

    template <class Buffers, class Handler>
    void async_write_some(const Buffers& buffers, Handler&& handler) {
        if (m_tls) return m_tls->async_write_some(buffers, std::forward<Handler>(handler));
        m_socket.async_write_some(buffers, std::forward<Handler>(handler));
    }

private:
    tcp::socket& m_socket;
    ssl::stream<tcp::socket&>* m_tls = nullptr;
};

// The peer's certificate as Certificate; empty fields when there is none.
Certificate certificate_of(SSL* session) {
    Certificate certificate;
    X509* peer = SSL_get_peer_certificate(session);
    if (!peer) return certificate;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (X509_digest(peer, EVP_sha256(), digest, &size) == 1) {
        for (unsigned int i = 0; i < size; ++i) {
            if (i > 0) certificate.sha256 += ':';
            certificate.sha256 += Util::hex_byte(digest[i]);
        }
    }
    X509_NAME* subject = X509_get_subject_name(peer);
    const int index = X509_NAME_get_index_by_NID(subject, NID_commonName, -1);
    if (index >= 0) {
        unsigned char* text = nullptr;
        const int length = ASN1_STRING_to_UTF8(
            &text, X509_NAME_ENTRY_get_data(X509_NAME_get_entry(subject, index)));
        if (length >= 0) certificate.common_name.assign(reinterpret_cast<char*>(text), length);
        OPENSSL_free(text);
    }
    X509_free(peer);
    return certificate;
}

// True when `host` is an IPv4 or IPv6 address rather than a name.
bool is_address(const std::string& host) {
    beast::error_code ec;
    asio::ip::make_address(host, ec);
    return !ec;
}

// The one kind of Connection: TCP, with TLS over it for HTTPS.
class PeerConnection final : public Connection,
                             public std::enable_shared_from_this<PeerConnection> {
public:
    PeerConnection(asio::io_context& io, Endpoint peer, const Options& options)
        : m_io(io), m_peer(std::move(peer)), m_socket(io), m_timer(io), m_wire(m_socket) {
        m_buffer.max_size(kBufferLimit);
        // A TLS context costs OpenSSL's initialisation and configuration
        // file: only HTTPS connections make one.
        if (m_peer.scheme != Scheme::Https) return;
        // What OpenSSL holds is given back with the process: freeing it at
        // exit would only cost time.
        OPENSSL_init_ssl(OPENSSL_INIT_NO_ATEXIT | OPENSSL_INIT_LOAD_SSL_STRINGS |
                             OPENSSL_INIT_LOAD_CRYPTO_STRINGS,
                         nullptr);
        m_context.emplace(ssl::context::tls_client);
        m_tls.emplace(m_socket, *m_context);
        m_wire.use_tls(*m_tls);
        // The stream's session was made from the context above: settings for
        // this connection go on the session itself.
        SSL_set_min_proto_version(m_tls->native_handle(), TLS1_2_VERSION);
        if (m_peer.by_name) {
            verify_by_name();
        } else if (options.ca_file.empty()) {
            // The peer is identified by its certificate's name and fingerprint,
            // which the caller's check decides on.
            m_tls->set_verify_mode(ssl::verify_none);
        } else {
            beast::error_code ec;
            m_context->load_verify_file(options.ca_file, ec);
            if (ec) {
                m_ca_failure =
                    "Error: cannot read the certificate authorities in " + options.ca_file + ".";
            }
            m_tls->set_verify_mode(ssl::verify_peer);
        }
    }

    bool usable() override {
        if (!m_connected || !socket().is_open()) return false;
        char byte;
        const auto got = ::recv(socket().native_handle(), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
        if (got == 0) return false;
        // Over TLS the peer may send records of its own (session tickets, a
        // closing alert): the session reads them, and a request that then
        // finds the connection closed is sent once more on a new one.
        if (got > 0) return m_peer.scheme == Scheme::Https;
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }

    void run(Method method, const std::string& target, const std::string& body, bool keep_alive,
             const Options& options, Clock::time_point deadline,
             std::function<void(Outcome)> done) override {
        m_peer.target = target;
        m_options = options;
        m_done = std::move(done);
        m_reused = m_connected;
        m_request = request_text(method, m_peer.target, host_field(m_peer), keep_alive,
                                 m_options.fields, body);
        m_timer.expires_at(deadline);
        m_timer.async_wait([self = shared_from_this()](beast::error_code ec) {
            if (!ec) self->expire();
        });
        if (!fields_are_whole(m_options.fields)) return fail(FailureKind::write, kBadField);
        if (m_connected) return send();
        if (m_ca_failure) return fail(FailureKind::tls, *m_ca_failure);
        if (m_peer.by_name && !is_address(m_peer.host)) return resolve();
        connect();
    }

    void run_stream(const Options& options, std::chrono::milliseconds silence,
                    StreamHandlers handlers, std::function<void(Outcome)> done) override {
        m_stream.emplace(std::move(handlers));
        m_silence = silence;
        run(Method::Get, m_peer.target, std::string(), true, options,
            Clock::now() + options.timeout, std::move(done));
    }

    void cancel() override { fail(FailureKind::connect, kConnectFailed); }

    void abandon() override {
        m_done = nullptr;
        // The stream's parser stays: a read in flight still refers to it.
        if (m_stream) m_stream->closed = true;
        m_timer.cancel();
        beast::error_code ignored;
        socket().close(ignored);
        m_connected = false;
    }

private:
    enum class Phase { resolving, connecting, handshaking, writing, reading, streaming };

    tcp::socket& socket() { return m_socket; }

    // The peer as the failure lines name it: "192.0.2.10:443", "[::1]:80".
    std::string peer_text() const {
        const bool v6 = m_peer.host.find(':') != std::string::npos;
        return (v6 ? "[" + m_peer.host + "]" : m_peer.host) + ":" + std::to_string(m_peer.port);
    }

    // The line for a connection that could not be made, with the system's cause.
    std::string connect_failure(const beast::error_code& ec) const {
        std::string cause = ec.message();
        if (!cause.empty()) cause[0] = static_cast<char>(std::tolower(cause[0]));
        return "Error: cannot connect to " + peer_text() + ": " + cause + ".";
    }

    // The line for a peer that let the time-out pass: "30 s", or "1500 ms"
    // for a time-out that is not whole seconds.
    std::string silence_failure() const {
        return "Error: " + peer_text() + " did not answer within " +
               duration_text(m_options.timeout) + ".";
    }

    // "30 s", or "1500 ms" for a time that is not whole seconds.
    static std::string duration_text(std::chrono::milliseconds time) {
        const auto ms = time.count();
        return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
    }

    // A peer the user named is checked as the web checks sites: its chain
    // must lead to the system's certificate authorities (SSL_CERT_FILE and
    // SSL_CERT_DIR may name others) and its certificate must name the host,
    // a host name or an address. A host name is sent in the handshake too.
    void verify_by_name() {
        beast::error_code ignored;
        m_context->set_default_verify_paths(ignored);
        SSL* session = m_tls->native_handle();
        const char* host = m_peer.host.c_str();
        const bool named =
            is_address(m_peer.host)
                ? X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(session), host) == 1
                : SSL_set1_host(session, host) == 1 && SSL_set_tlsext_host_name(session, host) == 1;
        if (!named) m_ca_failure = tls_failure("the host cannot be checked");
        m_tls->set_verify_mode(ssl::verify_peer);
    }

    // The line for a failed handshake, with `why` when known.
    std::string tls_failure(const char* why) const {
        return "Error: the TLS handshake with " + host_field(m_peer) + " failed" +
               (why ? std::string(": ") + why : std::string()) + ".";
    }

    // Looks the peer's host name up, then connects to what it resolved to.
    void resolve() {
        m_phase = Phase::resolving;
        m_stop_lookup = resolve_host_name(
            m_io, m_peer.host, [self = shared_from_this()](std::vector<std::string> addresses) {
                self->m_stop_lookup = nullptr;
                if (addresses.empty()) {
                    return self->fail(FailureKind::connect, self->lookup_failure());
                }
                self->m_addresses = std::move(addresses);
                self->connect();
            });
    }

    std::string lookup_failure() const {
        return "Error: cannot resolve the host name " + m_peer.host + ".";
    }

    void connect() {
        m_phase = Phase::connecting;
        beast::error_code ec;
        if (!m_addresses.empty()) {
            std::vector<tcp::endpoint> endpoints;
            for (const auto& text : m_addresses) {
                const auto address = asio::ip::make_address(text, ec);
                if (!ec) endpoints.emplace_back(address, m_peer.port);
            }
            asio::async_connect(
                socket(), endpoints,
                [self = shared_from_this()](beast::error_code cec, const tcp::endpoint&) {
                    if (cec) {
                        return self->fail(FailureKind::connect, self->connect_failure(cec));
                    }
                    self->connected();
                });
            return;
        }
        const auto address = asio::ip::make_address(m_peer.host, ec);
        if (ec) return fail(FailureKind::connect, "Error resolving address");
        socket().async_connect(tcp::endpoint(address, m_peer.port), [self = shared_from_this()](
                                                                        beast::error_code cec) {
            if (cec) {
                return self->fail(FailureKind::connect, self->connect_failure(cec));
            }
            self->connected();
        });
    }

    void connected() {
        beast::error_code ignored;
        socket().set_option(tcp::no_delay(true), ignored);
        if (m_peer.scheme != Scheme::Https) {
            m_connected = true;
            return send();
        }
        m_phase = Phase::handshaking;
        m_tls->async_handshake(ssl::stream_base::client, [self = shared_from_this()](
                                                             beast::error_code hec) {
            if (hec) {
                const long verified = SSL_get_verify_result(self->m_tls->native_handle());
                return self->fail(FailureKind::tls,
                                  self->tls_failure(verified == X509_V_OK
                                                        ? nullptr
                                                        : X509_verify_cert_error_string(verified)));
            }
            self->m_certificate = certificate_of(self->m_tls->native_handle());
            self->m_connected = true;
            self->send();
        });
    }

    void send() {
        if (m_peer.scheme == Scheme::Https && m_options.check) {
            if (auto refusal = m_options.check(m_certificate)) {
                return fail(FailureKind::certificate, *refusal);
            }
        }
        m_phase = Phase::writing;
        write();
    }

    void write() {
        asio::async_write(m_wire, asio::buffer(m_request),
                          [self = shared_from_this()](beast::error_code ec, std::size_t) {
                              if (ec) {
                                  self->m_stale = self->m_reused;
                                  return self->fail(FailureKind::write, kWriteFailed);
                              }
                              if (self->m_stream) return self->read_stream_header();
                              self->read();
                          });
    }

    void read() {
        m_phase = Phase::reading;
        m_buffer.consume(m_buffer.size());
        // Room for large reads: an empty buffer makes every read 512 bytes, a
        // system call each, and a bridge's whole state is hundreds of them.
        m_buffer.reserve(kReadRoom);
        m_parser.emplace();
        async_read_http_reply(m_wire, m_buffer, *m_parser, m_options.body_limit,
                              [self = shared_from_this()](HttpRead result) { self->read(result); });
    }

    void read(HttpRead result) {
        switch (result) {
            case HttpRead::ok:
                return succeed();
            case HttpRead::header_failed:
                // A kept connection the peer closed before any byte of the reply.
                m_stale = m_reused && !m_parser->got_some() && m_buffer.size() == 0;
                return fail(FailureKind::header, kHeaderFailed);
            case HttpRead::header_too_large:
                return fail(FailureKind::header_limit, kHeaderTooLarge);
            case HttpRead::not_ok:
                return fail_with_status();
            case HttpRead::body_failed:
                return fail(FailureKind::body, kBodyFailed);
            case HttpRead::body_too_large:
                return fail(FailureKind::body_limit, kBodyTooLarge);
        }
    }

    // A stream's header, on its own parser: one that keeps no body and
    // reserves nothing for a Content-Length.
    void read_stream_header() {
        m_phase = Phase::reading;
        m_stream->parser.header_limit(kHttpHeaderLimit);
        // No limit: Beast 1.74 reads "none" as a limit below every length.
        m_stream->parser.body_limit(std::numeric_limits<std::uint64_t>::max());
        http::async_read_header(
            m_wire, m_buffer, m_stream->parser,
            [self = shared_from_this()](beast::error_code ec, std::size_t header_size) {
                if (!self->streaming()) return;
                if (ec == http::error::header_limit || (!ec && header_size > kHttpHeaderLimit)) {
                    return self->fail(FailureKind::header_limit, kHeaderTooLarge);
                }
                if (ec) return self->fail(FailureKind::header, kHeaderFailed);
                const auto& reply = self->m_stream->parser.get();
                if (reply.result() != http::status::ok) return self->fail_with_status(reply);
                self->m_phase = Phase::streaming;
                self->m_heard = Clock::now();
                self->m_timer.expires_after(self->m_silence);
                self->m_timer.async_wait([self](beast::error_code tec) {
                    if (!tec) self->expire();
                });
                if (self->m_stream->handlers.opened) self->m_stream->handlers.opened();
                if (self->streaming()) self->read_stream_body();
            });
    }

    void read_stream_body() {
        auto& body = m_stream->parser.get().body();
        body.data = m_stream->room;
        body.size = sizeof m_stream->room;
        http::async_read_some(
            m_wire, m_buffer, m_stream->parser,
            [self = shared_from_this()](beast::error_code ec, std::size_t) {
                if (!self->streaming()) return;
                const std::size_t got =
                    sizeof self->m_stream->room - self->m_stream->parser.get().body().size;
                if (got > 0) {
                    self->m_heard = Clock::now();
                    self->m_stream->handlers.bytes(std::string_view(self->m_stream->room, got));
                    if (!self->streaming()) return;  // the handler closed the stream
                }
                if (ec == http::error::need_buffer) ec = {};
                if (ec) {
                    return self->fail(FailureKind::body, "Error: the stream from " +
                                                             self->peer_text() + " broke off.");
                }
                if (self->m_stream->parser.is_done()) {
                    return self->fail(FailureKind::body,
                                      "Error: " + self->peer_text() + " ended the stream.");
                }
                self->read_stream_body();
            });
    }

    void succeed() {
        Outcome outcome;
        outcome.body = std::move(m_parser->get().body());
        outcome.keep = m_parser->keep_alive();
        finish(std::move(outcome));
    }

    void fail_with_status() { fail_with_status(m_parser->get()); }

    void fail_with_status(const http::response_header<>& reply) {
        std::string text = "HTTP " + std::to_string(reply.result_int());
        const auto reason = reply.reason();
        if (!reason.empty()) text += " " + std::string(reason);
        Outcome outcome;
        outcome.failure.emplace(FailureKind::status, text, reply.result_int(),
                                std::string(reply[http::field::location]));
        outcome.retry_after = std::string(reply[http::field::retry_after]);
        finish(std::move(outcome));
    }

    void expire() {
        m_stale = false;
        switch (m_phase) {
            case Phase::resolving:
                return fail(FailureKind::connect, lookup_failure());
            case Phase::connecting:
                return fail(FailureKind::connect, silence_failure());
            case Phase::handshaking:
                return fail(FailureKind::tls, tls_failure("out of time"));
            case Phase::writing:
                return fail(FailureKind::write, silence_failure());
            case Phase::reading:
                break;
            case Phase::streaming: {
                const auto quiet = Clock::now() - m_heard;
                if (quiet < m_silence) {
                    m_timer.expires_after(m_silence - quiet);
                    m_timer.async_wait([self = shared_from_this()](beast::error_code ec) {
                        if (!ec) self->expire();
                    });
                    return;
                }
                return fail(FailureKind::body, "Error: " + peer_text() + " sent nothing for " +
                                                   duration_text(m_silence) + ".");
            }
        }
        if (m_parser && m_parser->is_header_done()) return fail(FailureKind::body, kBodyFailed);
        fail(FailureKind::header, silence_failure());
    }

    void fail(FailureKind kind, const std::string& text) {
        Outcome outcome;
        outcome.failure.emplace(kind, text);
        outcome.stale = m_stale;
        finish(std::move(outcome));
    }

    // Hands `outcome` to the caller, once; closes the connection unless it
    // can carry another request.
    void finish(Outcome outcome) {
        if (!m_done) return;
        auto done = std::move(m_done);
        m_done = nullptr;
        m_timer.cancel();
        if (m_stop_lookup) {
            auto stop = std::move(m_stop_lookup);
            m_stop_lookup = nullptr;
            stop();
        }
        if (!outcome.keep) {
            beast::error_code ignored;
            socket().close(ignored);
            m_connected = false;
        }
        m_stale = false;
        done(std::move(outcome));
    }

    asio::io_context& m_io;
    Endpoint m_peer;
    Options m_options;
    tcp::socket m_socket;
    std::optional<ssl::context> m_context;  // these two for HTTPS only
    std::optional<ssl::stream<tcp::socket&>> m_tls;
    asio::steady_timer m_timer;
    Wire m_wire;
    std::optional<std::string> m_ca_failure;
    std::vector<std::string> m_addresses;  // what the peer's host name resolved to
    std::function<void()> m_stop_lookup;   // null unless a lookup is in flight
    Certificate m_certificate;
    std::string m_request;
    beast::flat_buffer m_buffer;
    std::optional<HttpResponseParser> m_parser;
    std::function<void(Outcome)> m_done;  // null when no request is in flight
    // A stream's parser, handlers and room for its bytes; none for other requests.
    struct Stream {
        explicit Stream(StreamHandlers given) : handlers(std::move(given)) {}
        StreamHandlers handlers;
        http::response_parser<http::buffer_body> parser;
        char room[kStreamRoom];
        bool closed = false;  // abandoned: its handlers are not called any more
    };
    bool streaming() const { return m_stream && !m_stream->closed; }
    std::optional<Stream> m_stream;
    std::chrono::milliseconds m_silence{0};
    Clock::time_point m_heard;  // when a stream's last bytes arrived
    Phase m_phase = Phase::connecting;
    bool m_connected = false;  // and, over TLS, the handshake done
    bool m_reused = false;     // the request in flight came after another
    bool m_stale = false;
};

}  // namespace

std::shared_ptr<Connection> make_connection(asio::io_context& io, const Endpoint& peer,
                                            const Options& options) {
    return std::make_shared<PeerConnection>(io, peer, options);
}

}  // namespace Http
