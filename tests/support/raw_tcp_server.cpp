#include "support/raw_tcp_server.hpp"

#include <atomic>
#include <mutex>
#include <thread>

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace TestingSupport {

struct RawTcpServer::Impl {
    std::string reply;
    Ending ending = Ending::close;
    Sequel sequel;
    Kept kept;
    std::atomic<std::size_t> accepted{0};  // connections so far
    std::string address;
    int listener = -1;
    std::atomic<bool> stopping{false};
    std::thread thread;
    mutable std::mutex mutex;  // guards lines and requests
    std::vector<std::string> lines;
    std::vector<std::string> requests;

    // Binds a free port of 127.0.0.1; false when none can be bound.
    bool bind_free_port() {
        listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = 0;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof local;
        if (bind(listener, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
            listen(listener, 8) == 0 &&
            getsockname(listener, reinterpret_cast<sockaddr*>(&local), &size) == 0) {
            address = "127.0.0.1:" + std::to_string(ntohs(local.sin_port));
            return true;
        }
        close(listener);
        listener = -1;
        return false;
    }

    // Reads one request, its body as far as a Content-Length field says, and
    // logs it whole and its request line (an empty one too). False when no
    // byte came.
    bool read_request(int connection) {
        std::string received;
        std::size_t wanted = std::string::npos;
        char buffer[4096];
        while (received.size() < wanted && received.size() < 65536) {
            pollfd ready{connection, POLLIN, 0};
            if (poll(&ready, 1, 2000) <= 0) break;
            const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            received.append(buffer, static_cast<std::size_t>(n));
            const auto head_end = received.find("\r\n\r\n");
            if (head_end == std::string::npos) continue;
            const auto length = received.find("\r\nContent-Length: ");
            wanted =
                head_end + 4 + (length < head_end ? std::stoul(received.substr(length + 18)) : 0);
        }
        const std::string line = received.substr(0, received.find("\r\n"));
        const std::string method_path = line.substr(0, line.rfind(' '));
        std::lock_guard<std::mutex> lock(mutex);
        lines.push_back(method_path);
        requests.push_back(received);
        return !received.empty();
    }

    // Writes all of `bytes`; false once the client has gone.
    static bool send_all(int connection, const std::string& bytes) {
        for (std::size_t sent = 0; sent < bytes.size();) {
            const ssize_t n =
                send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    void answer(int connection) {
        const std::size_t index = accepted++;
        if (index < kept.answers.size()) return answer_kept(connection, kept.answers[index]);
        read_request(connection);
        bool open = send_all(connection, reply);
        if (open && !sequel.later.empty()) {
            std::this_thread::sleep_for(sequel.pause);
            open = send_all(connection, sequel.later);
        }
        while (open && !sequel.repeated.empty() && !stopping) {
            std::this_thread::sleep_for(sequel.pause);
            open = send_all(connection, sequel.repeated);
        }
        end(connection);
    }

    // Answers `answers` requests on one connection, then meets the next with
    // the cut reply and the ending.
    void answer_kept(int connection, std::size_t answers) {
        for (std::size_t n = 0; n < answers; ++n) {
            if (!read_request(connection) || !send_all(connection, reply)) return end(connection);
        }
        if (read_request(connection)) send_all(connection, kept.cut);
        end(connection);
    }

    void end(int connection) {
        if (ending == Ending::reset) {
            const linger abort{1, 0};
            setsockopt(connection, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        } else {
            shutdown(connection, SHUT_WR);
        }
        close(connection);
    }

    // Binds a port and serves on a thread of its own.
    void start() {
        if (!bind_free_port()) {
            ADD_FAILURE() << "could not bind a loopback port for the raw server";
            return;
        }
        thread = std::thread([this] { serve(); });
    }

    void serve() {
        while (!stopping) {
            pollfd ready{listener, POLLIN, 0};
            if (poll(&ready, 1, 50) <= 0) continue;
            const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0) answer(connection);
        }
    }
};

RawTcpServer::RawTcpServer(std::string reply, Ending ending)
    : RawTcpServer(std::move(reply), ending, Sequel()) {}

RawTcpServer::RawTcpServer(std::string reply, Ending ending, Sequel sequel)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->reply = std::move(reply);
    m_impl->ending = ending;
    m_impl->sequel = std::move(sequel);
    m_impl->start();
}

RawTcpServer::RawTcpServer(std::string reply, Ending ending, Kept kept)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->reply = std::move(reply);
    m_impl->ending = ending;
    m_impl->kept = std::move(kept);
    m_impl->start();
}

RawTcpServer::~RawTcpServer() {
    m_impl->stopping = true;
    if (m_impl->thread.joinable()) m_impl->thread.join();
    if (m_impl->listener >= 0) close(m_impl->listener);
}

const std::string& RawTcpServer::address() const { return m_impl->address; }

std::vector<std::string> RawTcpServer::request_lines() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->lines;
}

std::size_t RawTcpServer::connections() const { return m_impl->accepted; }

std::vector<std::string> RawTcpServer::requests() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->requests;
}

Http::Endpoint at(const RawTcpServer& peer, const char* target) {
    const auto port = peer.address().substr(peer.address().find(':') + 1);
    return Http::Endpoint{Http::Scheme::Http, "127.0.0.1",
                          static_cast<unsigned short>(std::stoi(port)), target};
}

}  // namespace TestingSupport
