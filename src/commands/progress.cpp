#include "commands/progress.hpp"

#include <algorithm>
#include <cerrno>
#include <ostream>
#include <thread>
#include <utility>

#include "hue/address.hpp"
#include "util/printable.hpp"

namespace Commands {
namespace {

// How long a wait runs before its countdown shows.
constexpr std::chrono::milliseconds kFirstShow(250);

}  // namespace

Countdown::Countdown(std::string label, std::chrono::milliseconds length, int fd)
    : m_label(std::move(label)),
      m_start(std::chrono::steady_clock::now()),
      m_end(m_start + length),
      m_fd(fd),
      m_terminal(isatty(fd) == 1) {}

Countdown::~Countdown() {
    if (m_shown >= 0) write_text("\r\033[K");
}

void Countdown::tick() {
    const auto now = std::chrono::steady_clock::now();
    if (!m_terminal || now - m_start < kFirstShow) return;
    const auto left = std::chrono::ceil<std::chrono::seconds>(
        std::max(m_end - now, std::chrono::steady_clock::duration::zero()));
    if (left.count() == m_shown) return;
    m_shown = left.count();
    write_text("\r" + m_label + "... " + std::to_string(m_shown) + " s \033[K");
}

void Countdown::wait_out() {
    for (auto now = std::chrono::steady_clock::now(); now < m_end;
         now = std::chrono::steady_clock::now()) {
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kTick, m_end - now));
        tick();
    }
}

void Countdown::write_text(const std::string& text) const {
    const char* next = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, next, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;  // a countdown that cannot be shown is no failure
        next += written;
        left -= static_cast<std::size_t>(written);
    }
}

SearchProgress::SearchProgress(const Output& output, int fd) : m_output(output), m_fd(fd) {}

void SearchProgress::search_started(std::chrono::milliseconds window) {
    m_countdown.emplace("Searching for bridges", window, m_fd);
}

void SearchProgress::tick() {
    if (m_countdown) m_countdown->tick();
}

void SearchProgress::search_ended() { m_countdown.reset(); }

void SearchProgress::several_found(const std::vector<Hue::Bridge>& found) {
    m_output.note("Multiple bridges found, please specify desired bridge with --bridge=<Ip||Id>");
    // Which ones, as --bridge takes them, for the user to pick from.
    for (const Hue::Bridge& bridge : found) {
        m_output.err() << "  " << Util::printable(bridge.id()) << "  "
                       << Hue::bridge_text(bridge.endpoint()) << std::endl;
    }
}

}  // namespace Commands
