#include "http/exchange.hpp"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>

#include "http/connection.hpp"

namespace Http {
namespace {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;

// A refused request (429, 503) whose reply names no wait is sent at most
// kMaxResends times more, kDefaultWait apart; one whose reply asks for a wait
// (Retry-After in seconds) is sent once more after that wait. Either wait must
// end before the deadline, or the refusal is the exchange's failure.
constexpr int kMaxResends = 2;
constexpr std::chrono::seconds kDefaultWait{1};
// A longer wait is past any deadline: read as this many seconds.
constexpr long kLongestAskedSeconds = 24L * 60 * 60;

// The wait `retry_after` asks for, in whole seconds; none when it is empty,
// blank or no number.
std::optional<std::chrono::seconds> asked_wait(const std::string& retry_after) {
    const std::size_t begin = retry_after.find_first_not_of(" \t");
    const std::size_t end = retry_after.find_last_not_of(" \t");
    if (begin == std::string::npos) return std::nullopt;
    long seconds = 0;
    for (std::size_t i = begin; i <= end; ++i) {
        const char c = retry_after[i];
        if (c < '0' || c > '9') return std::nullopt;
        seconds = std::min<long>(seconds * 10 + (c - '0'), kLongestAskedSeconds);
    }
    return std::chrono::seconds(seconds);
}

// The connections exchange() keeps for later requests: one per peer, all on
// the one io_context that exchange() runs. The program uses its transport
// from one thread, so nothing here is guarded.
class KeptConnections {
public:
    asio::io_context& io() { return m_io; }

    // The connection kept for the peer `key` names, when it can carry a
    // request; else null. The peer's slot is empty afterwards either way.
    std::shared_ptr<Connection> take(const std::string& key) {
        const auto found = m_kept.find(key);
        if (found == m_kept.end()) return nullptr;
        std::shared_ptr<Connection> connection = std::move(found->second);
        m_kept.erase(found);
        return connection->usable() ? connection : nullptr;
    }

    void keep(const std::string& key, std::shared_ptr<Connection> connection) {
        m_kept[key] = std::move(connection);
    }

    void end() { m_kept.clear(); }

private:
    asio::io_context m_io;
    std::map<std::string, std::shared_ptr<Connection>> m_kept;  // destroyed before m_io
};

KeptConnections& kept_connections() {
    static KeptConnections kept;
    return kept;
}

// Names a peer as its kept connection is found: connections differ by
// scheme, by name or address, by host and port, and by the authorities
// checked.
std::string key_of(const Endpoint& endpoint, const Options& options) {
    return std::string(endpoint.scheme == Scheme::Https ? "https " : "http ") +
           (endpoint.by_name ? "named " : "") + endpoint.host + " " +
           std::to_string(endpoint.port) + " " + options.ca_file;
}

// One exchange: its request, sent again after a refusal (429, 503) as
// kMaxResends and asked_wait() say when the wait fits the deadline, and once
// more on a new connection when a kept one turns out closed by the peer
// before it could carry the request. With `kept`, a request goes on the
// peer's kept connection and the connection is kept again afterwards;
// without, each request has a connection of its own.
class Exchange : public std::enable_shared_from_this<Exchange> {
public:
    Exchange(asio::io_context& io, const Endpoint& endpoint, Method method, std::string body,
             const Options& options, KeptConnections* kept, std::function<void(Ending)> done)
        : m_io(io),
          m_endpoint(endpoint),
          m_method(method),
          m_body(std::move(body)),
          m_options(options),
          m_deadline(Clock::now() + options.timeout),
          m_kept(kept),
          m_key(key_of(endpoint, options)),
          m_wait(io),
          m_done(std::move(done)) {}

    void send() {
        std::shared_ptr<Connection> connection = m_kept ? m_kept->take(m_key) : nullptr;
        send_on(connection ? connection : make_connection(m_io, m_endpoint, m_options));
    }

private:
    void send_on(const std::shared_ptr<Connection>& connection) {
        // Weak: the connection holds this handler until it has called it.
        std::weak_ptr<Connection> used = connection;
        connection->run(m_method, m_endpoint.target, m_body, true, m_options, m_deadline,
                        [self = shared_from_this(), used](Outcome outcome) {
                            self->ended(used.lock(), std::move(outcome));
                        });
    }

    void ended(std::shared_ptr<Connection> used, Outcome outcome) {
        if (outcome.stale) return send_on(make_connection(m_io, m_endpoint, m_options));
        if (m_kept && outcome.keep && used) m_kept->keep(m_key, std::move(used));
        if (!outcome.failure) return m_done(Ending{std::nullopt, std::move(outcome.body)});
        const int status = outcome.failure->status();
        if (status == 429 || status == 503) {
            const std::optional<std::chrono::seconds> asked = asked_wait(outcome.retry_after);
            const auto wait = asked.value_or(kDefaultWait);
            if (m_resends < (asked ? 1 : kMaxResends) && Clock::now() + wait < m_deadline) {
                ++m_resends;
                m_wait.expires_after(wait);
                m_wait.async_wait([self = shared_from_this()](const boost::system::error_code&) {
                    self->send();
                });
                return;
            }
        }
        m_done(Ending{std::move(outcome.failure), std::string()});
    }

    asio::io_context& m_io;
    const Endpoint m_endpoint;
    const Method m_method;
    const std::string m_body;
    const Options m_options;
    const Clock::time_point m_deadline;
    KeptConnections* const m_kept;  // null: no connection is kept
    const std::string m_key;
    asio::steady_timer m_wait;
    std::function<void(Ending)> m_done;
    int m_resends = 0;
};

}  // namespace

Failure::Failure(FailureKind kind, const std::string& text, int status, std::string location)
    : std::runtime_error(text), m_kind(kind), m_status(status), m_location(std::move(location)) {}

std::string exchange(const Endpoint& endpoint, Method method, const std::string& body,
                     const Options& options) {
    KeptConnections& kept = kept_connections();
    std::optional<Ending> ending;
    kept.io().restart();
    std::make_shared<Exchange>(kept.io(), endpoint, method, body, options, &kept,
                               [&ending](Ending ended) { ending = std::move(ended); })
        ->send();
    kept.io().run();
    if (ending.value().failure) throw *ending->failure;
    return std::move(ending->body);
}

void start_exchange(asio::io_context& io, const Endpoint& endpoint, Method method,
                    const std::string& body, const Options& options,
                    std::function<void(Ending)> done) {
    std::make_shared<Exchange>(io, endpoint, method, body, options, nullptr, std::move(done))
        ->send();
}

void end_kept_connections() { kept_connections().end(); }

bool refuses_connections(const Endpoint& endpoint, std::chrono::milliseconds timeout) {
    boost::system::error_code ec;
    const auto address = asio::ip::make_address(endpoint.host, ec);
    if (ec) return false;
    asio::io_context io;
    tcp::socket socket(io);
    bool refused = false;
    socket.async_connect(tcp::endpoint(address, endpoint.port),
                         [&refused](boost::system::error_code cec) {
                             refused = cec == asio::error::connection_refused;
                         });
    io.run_for(timeout);
    return refused;
}

std::function<void()> fetch(asio::io_context& io, const Endpoint& endpoint,
                            std::chrono::milliseconds timeout, std::size_t cap,
                            std::function<void(std::optional<std::string>)> done) {
    Options options;
    options.timeout = timeout;
    options.body_limit = cap;
    auto connection = make_connection(io, endpoint, options);
    connection->run(Method::Get, endpoint.target, std::string(), false, options,
                    Clock::now() + timeout, [done = std::move(done)](Outcome outcome) {
                        if (outcome.failure) return done(std::nullopt);
                        done(std::move(outcome.body));
                    });
    std::weak_ptr<Connection> weak = connection;
    return [weak] {
        if (auto alive = weak.lock()) alive->cancel();
    };
}

std::function<void()> open_stream(asio::io_context& io, const Endpoint& endpoint,
                                  const Options& options, std::chrono::milliseconds silence,
                                  StreamHandlers handlers) {
    auto connection = make_connection(io, endpoint, options);
    auto ended = std::move(handlers.ended);
    connection->run_stream(options, silence, std::move(handlers),
                           [ended = std::move(ended)](Outcome outcome) {
                               if (outcome.failure) ended(std::move(*outcome.failure));
                           });
    return [connection] { connection->abandon(); };
}

}  // namespace Http
