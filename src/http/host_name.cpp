#include "http/host_name.hpp"

#include <cerrno>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

#include <boost/asio/io_context.hpp>
#include <boost/asio/local/stream_protocol.hpp>
#include <boost/asio/read.hpp>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Http {
namespace {

namespace asio = boost::asio;
using Local = asio::local::stream_protocol;

// The addresses of `name`, one a line.
std::string addresses_of(const std::string& name) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::string lines;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return lines;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        char text[NI_MAXHOST];
        if (::getnameinfo(entry->ai_addr, entry->ai_addrlen, text, sizeof text, nullptr, 0,
                          NI_NUMERICHOST) == 0) {
            lines += text;
            lines += '\n';
        }
    }
    ::freeaddrinfo(found);
    return lines;
}

// Looks `name` up and writes the answer to `fd`, then closes it. Owns
// nothing of the caller's: a reader that has gone makes the write fail.
void look_up(int fd, const std::string& name) {
    const std::string answer = addresses_of(name);
    std::size_t sent = 0;
    while (sent < answer.size()) {
        const auto wrote = ::send(fd, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) break;
        sent += static_cast<std::size_t>(wrote);
    }
    ::close(fd);
}

// The reading end of one lookup, owned by its pending read.
struct Lookup {
    explicit Lookup(asio::io_context& io) : socket(io) {}

    Local::socket socket;
    std::string answer;
    std::function<void(std::vector<std::string>)> done;  // null once given up
};

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace

std::function<void()> resolve_host_name(asio::io_context& io, const std::string& name,
                                        std::function<void(std::vector<std::string>)> done) {
    auto lookup = std::make_shared<Lookup>(io);
    lookup->done = std::move(done);
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) == 0) {
        lookup->socket.assign(Local(), ends[0]);
        try {
            std::thread(look_up, ends[1], name).detach();
        } catch (const std::system_error&) {
            ::close(ends[1]);  // no thread: the read ends at once, with no address
        }
    }
    // A socket that could not be made fails the read at once: no address.
    asio::async_read(lookup->socket, asio::dynamic_buffer(lookup->answer),
                     [lookup](const boost::system::error_code&, std::size_t) {
                         if (!lookup->done) return;
                         auto call = std::move(lookup->done);
                         lookup->done = nullptr;
                         call(lines_of(lookup->answer));
                     });
    std::weak_ptr<Lookup> weak = lookup;
    return [weak] {
        const auto alive = weak.lock();
        if (!alive) return;
        alive->done = nullptr;
        boost::system::error_code ignored;
        alive->socket.close(ignored);
    };
}

}  // namespace Http
