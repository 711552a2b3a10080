#include "commands/progress.hpp"

#include <algorithm>
#include <cstdio>
#include <utility>

#include <unistd.h>

namespace Commands {
namespace {

// How long a wait runs before its countdown shows, and how often it changes.
constexpr std::chrono::milliseconds kFirstShow(250);
constexpr std::chrono::milliseconds kTick(200);

}  // namespace

Countdown::Countdown(std::string label, std::chrono::milliseconds length)
    : m_label(std::move(label)), m_end(std::chrono::steady_clock::now() + length) {
    if (isatty(STDERR_FILENO) == 1) m_thread = std::thread([this] { show(); });
}

Countdown::~Countdown() {
    if (!m_thread.joinable()) return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = true;
    }
    m_stop.notify_all();
    m_thread.join();
}

void Countdown::show() {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_stop.wait_for(lock, kFirstShow, [this] { return m_stopped; })) return;
    long long shown = -1;
    do {
        const auto left = std::chrono::ceil<std::chrono::seconds>(std::max(
            m_end - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration::zero()));
        if (left.count() != shown) {
            shown = left.count();
            std::fprintf(stderr, "\r%s... %lld s \033[K", m_label.c_str(), shown);
            std::fflush(stderr);
        }
    } while (!m_stop.wait_for(lock, kTick, [this] { return m_stopped; }));
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
}

}  // namespace Commands
