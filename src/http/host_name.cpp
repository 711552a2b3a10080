#include "http/host_name.hpp"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include <netdb.h>
#include <sys/socket.h>

namespace Http {
namespace {

// What the lookup thread hands back; shared, since a caller out of time
// leaves before the thread ends.
struct Lookup {
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    std::vector<std::string> addresses;
};

std::vector<std::string> addresses_of(const std::string& name) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::vector<std::string> addresses;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return addresses;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        char text[NI_MAXHOST];
        if (::getnameinfo(entry->ai_addr, entry->ai_addrlen, text, sizeof text, nullptr, 0,
                          NI_NUMERICHOST) == 0) {
            addresses.emplace_back(text);
        }
    }
    ::freeaddrinfo(found);
    return addresses;
}

}  // namespace

std::vector<std::string> resolve_host_name(const std::string& name,
                                           std::chrono::steady_clock::time_point deadline) {
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, name] {
        auto addresses = addresses_of(name);
        std::lock_guard<std::mutex> lock(lookup->mutex);
        lookup->addresses = std::move(addresses);
        lookup->done = true;
        lookup->answered.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(lookup->mutex);
    if (!lookup->answered.wait_until(lock, deadline, [&lookup] { return lookup->done; })) {
        return {};
    }
    return lookup->addresses;
}

}  // namespace Http
