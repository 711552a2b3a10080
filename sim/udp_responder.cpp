#include "sim/udp_responder.hpp"

#include <array>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>

#include "sim/sim_thread.hpp"

namespace Sim {

namespace asio = boost::asio;
using asio::ip::udp;

struct UdpResponder::Impl {
    asio::ip::address address;
    std::string what;
    Answer answer;
    mutable std::mutex mutex;  // guards port
    unsigned short port = 0;

    // Present while running.
    std::unique_ptr<asio::io_context> io;
    std::unique_ptr<udp::socket> socket;
    std::thread thread;
    std::array<char, 65536> buffer{};
    udp::endpoint sender;

    void receive() {
        socket->async_receive_from(
            asio::buffer(buffer), sender,
            [this](const boost::system::error_code& ec, std::size_t n) {
                if (ec == asio::error::operation_aborted) return;
                if (!ec) {
                    for (const auto& reply : answer(std::string(buffer.data(), n))) {
                        boost::system::error_code ignored;
                        socket->send_to(asio::buffer(reply), sender, 0, ignored);
                    }
                }
                receive();
            });
    }
};

UdpResponder::UdpResponder(const std::string& address, const std::string& what, Answer answer)
    : m_impl(std::make_unique<Impl>()) {
    boost::system::error_code ec;
    m_impl->address = asio::ip::make_address(address, ec);
    if (ec || !m_impl->address.is_loopback()) {
        throw std::invalid_argument("the " + what + " binds to loopback addresses only");
    }
    m_impl->what = what;
    m_impl->answer = std::move(answer);
}

UdpResponder::~UdpResponder() { stop(); }

void UdpResponder::start(unsigned short port) {
    if (m_impl->io) return;
    auto io = std::make_unique<asio::io_context>();
    auto socket = std::make_unique<udp::socket>(*io);
    const udp::endpoint local(m_impl->address, port);
    boost::system::error_code ec;
    socket->open(local.protocol(), ec);
    if (!ec) socket->bind(local, ec);
    if (ec) throw std::system_error(ec.value(), std::system_category(), m_impl->what + " bind");
    {
        std::lock_guard<std::mutex> lock(m_impl->mutex);
        m_impl->port = socket->local_endpoint().port();
    }
    m_impl->io = std::move(io);
    m_impl->socket = std::move(socket);
    m_impl->receive();
    m_impl->thread = sim_thread([impl = m_impl.get()] { impl->io->run(); });
}

void UdpResponder::stop() {
    if (!m_impl->io) return;
    m_impl->io->stop();
    m_impl->thread.join();
    m_impl->socket.reset();
    m_impl->io.reset();
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->port = 0;
}

unsigned short UdpResponder::port() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->port;
}

std::string UdpResponder::endpoint() const {
    const std::string host = m_impl->address.to_string();
    const std::string port_text = std::to_string(port());
    return m_impl->address.is_v6() ? "[" + host + "]:" + port_text : host + ":" + port_text;
}

}  // namespace Sim
