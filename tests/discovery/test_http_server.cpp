#include "discovery/test_http_server.hpp"

#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read_until.hpp>
#include <boost/asio/streambuf.hpp>
#include <boost/asio/write.hpp>

namespace UPnP {
namespace TestSupport {

namespace asio = boost::asio;
using asio::ip::tcp;

struct TestHttpServer::Impl {
    asio::io_context io;
    tcp::acceptor acceptor{io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0)};
    std::thread thread;

    mutable std::mutex mutex;                                       // guards the maps
    std::map<std::string, std::pair<std::string, bool>> responses;  // text, close after it
    std::map<std::string, std::size_t> counts;
    std::vector<std::shared_ptr<tcp::socket>> held;  // connections kept open (io thread)

    void accept() {
        auto socket = std::make_shared<tcp::socket>(io);
        acceptor.async_accept(*socket, [this, socket](const boost::system::error_code& ec) {
            if (ec) return;
            serve(socket);
            accept();
        });
    }

    void serve(const std::shared_ptr<tcp::socket>& socket) {
        auto buffer = std::make_shared<asio::streambuf>(64 * 1024);
        asio::async_read_until(
            *socket, *buffer, "\r\n\r\n",
            [this, socket, buffer](const boost::system::error_code& ec, std::size_t) {
                if (ec) return;
                std::string request(asio::buffers_begin(buffer->data()),
                                    asio::buffers_end(buffer->data()));
                const auto start = request.find(' ') + 1;
                const std::string path = request.substr(start, request.find(' ', start) - start);
                std::pair<std::string, bool> response{
                    "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n", true};
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    ++counts[path];
                    const auto found = responses.find(path);
                    if (found != responses.end()) response = found->second;
                }
                auto text = std::make_shared<std::string>(std::move(response.first));
                asio::async_write(*socket, asio::buffer(*text),
                                  [this, socket, text, close = response.second](
                                      const boost::system::error_code&, std::size_t) {
                                      if (!close) return held.push_back(socket);
                                      boost::system::error_code ignored;
                                      socket->shutdown(tcp::socket::shutdown_both, ignored);
                                      socket->close(ignored);
                                  });
            });
    }
};

TestHttpServer::TestHttpServer() : m_impl(std::make_unique<Impl>()) {
    m_impl->accept();
    m_impl->thread = std::thread([impl = m_impl.get()] { impl->io.run(); });
}

TestHttpServer::~TestHttpServer() {
    m_impl->io.stop();
    m_impl->thread.join();
}

void TestHttpServer::serve_raw(const std::string& path, std::string raw, bool close) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->responses[path] = {std::move(raw), close};
}

void TestHttpServer::serve(const std::string& path, const std::string& body) {
    serve_raw(path, "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " +
                        std::to_string(body.size()) + "\r\n\r\n" + body);
}

void TestHttpServer::hang(const std::string& path) { serve_raw(path, "", false); }

std::string TestHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_impl->acceptor.local_endpoint().port()) + path;
}

std::size_t TestHttpServer::requests(const std::string& path) const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    const auto found = m_impl->counts.find(path);
    return found == m_impl->counts.end() ? 0 : found->second;
}

}  // namespace TestSupport
}  // namespace UPnP
