#include "sim/tcp_relay.hpp"

#include <array>
#include <string_view>
#include <thread>

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>

#include "sim/sim_thread.hpp"

namespace Sim {
namespace {

namespace asio = boost::asio;
using asio::ip::tcp;

// One relayed connection: the accepted socket and the one to the target.
// Owned by the handlers of its pending operations.
class Pipe : public std::enable_shared_from_this<Pipe> {
public:
    Pipe(asio::io_context& io, bool split_replies)
        : m_client(io), m_target(io), m_split(split_replies) {}

    tcp::socket& client() { return m_client; }

    void start(const tcp::endpoint& target) {
        auto self = shared_from_this();
        m_target.async_connect(target, [self](const boost::system::error_code& ec) {
            if (ec) return self->close();
            self->pump(self->m_client, self->m_target, self->m_up, false);
            self->pump(self->m_target, self->m_client, self->m_down, self->m_split);
        });
    }

private:
    using Buffer = std::array<char, 16 * 1024>;

    // Copies what `from` receives to `to` until either side ends; with `split`,
    // a read that starts a reply is written as its header, then the rest.
    void pump(tcp::socket& from, tcp::socket& to, Buffer& buffer, bool split) {
        auto self = shared_from_this();
        from.async_read_some(asio::buffer(buffer),
                             [self, &from, &to, &buffer, split](const boost::system::error_code& ec,
                                                                std::size_t size) {
                                 if (ec) return self->close();
                                 const std::string_view data(buffer.data(), size);
                                 std::size_t first = size;
                                 if (split && data.rfind("HTTP/1.", 0) == 0) {
                                     const auto end = data.find("\r\n\r\n");
                                     if (end != std::string_view::npos) first = end + 4;
                                 }
                                 self->forward(from, to, buffer, split, 0, first, size);
                             });
    }

    // Writes buffer[begin, end), then buffer[end, size) in a write of its own,
    // then pumps on.
    void forward(tcp::socket& from, tcp::socket& to, Buffer& buffer, bool split, std::size_t begin,
                 std::size_t end, std::size_t size) {
        auto self = shared_from_this();
        asio::async_write(to, asio::buffer(buffer.data() + begin, end - begin),
                          [self, &from, &to, &buffer, split, end, size](
                              const boost::system::error_code& wec, std::size_t) {
                              if (wec) return self->close();
                              if (end < size)
                                  return self->forward(from, to, buffer, split, end, size, size);
                              self->pump(from, to, buffer, split);
                          });
    }

    void close() {
        boost::system::error_code ignored;
        m_client.close(ignored);
        m_target.close(ignored);
    }

    tcp::socket m_client;
    tcp::socket m_target;
    Buffer m_up{};
    Buffer m_down{};
    bool m_split;
};

}  // namespace

struct TcpRelay::Impl {
    Impl(const std::string& address, unsigned short port, unsigned short target_port,
         bool split_replies)
        : acceptor(io, tcp::endpoint(asio::ip::make_address(address), port)),
          target(asio::ip::make_address("127.0.0.1"), target_port),
          split(split_replies) {}

    void accept() {
        auto pipe = std::make_shared<Pipe>(io, split);
        acceptor.async_accept(pipe->client(), [this, pipe](const boost::system::error_code& ec) {
            if (ec) return;  // closed
            pipe->start(target);
            accept();
        });
    }

    asio::io_context io;
    tcp::acceptor acceptor;
    const tcp::endpoint target;
    const bool split;
    std::thread thread;
};

TcpRelay::TcpRelay(const std::string& address, unsigned short port, unsigned short target_port,
                   bool split_replies)
    : m_impl(std::make_unique<Impl>(address, port, target_port, split_replies)) {
    m_impl->accept();
    m_impl->thread = sim_thread([impl = m_impl.get()] { impl->io.run(); });
}

TcpRelay::~TcpRelay() {
    m_impl->io.stop();
    m_impl->thread.join();
}

unsigned short TcpRelay::port() const { return m_impl->acceptor.local_endpoint().port(); }

}  // namespace Sim
