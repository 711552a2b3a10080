#include "sim/event_journal.hpp"

#include <utility>

namespace Sim {
namespace {

std::int64_t system_seconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

EventJournal::EventJournal(std::size_t capacity) : m_capacity(capacity), m_clock(system_seconds) {}

void EventJournal::set_clock(std::function<std::int64_t()> clock) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_clock = std::move(clock);
}

void EventJournal::append(const std::vector<ResourceChange>& changes) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const std::int64_t seconds = m_clock();
        JournalEvent event;
        event.number = m_next++;
        event.id = std::to_string(seconds) + ":" + std::to_string(event.number);
        event.data = event_data(changes, seconds, event.id);
        m_events.push_back(std::move(event));
        if (m_events.size() > m_capacity) m_events.pop_front();
    }
    m_changed.notify_all();
}

std::uint64_t EventJournal::end() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_next;
}

std::optional<std::uint64_t> EventJournal::after(const std::string& id) const {
    const std::size_t colon = id.find(':');
    if (colon == std::string::npos || colon + 1 == id.size() ||
        id.find_first_not_of("0123456789", colon + 1) != std::string::npos ||
        id.size() - colon - 1 > 19) {
        return std::nullopt;
    }
    const std::uint64_t number = std::stoull(id.substr(colon + 1));
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_events.empty() || number < m_events.front().number || number >= m_next) {
        return std::nullopt;
    }
    if (m_events[number - m_events.front().number].id != id) return std::nullopt;
    return number + 1;
}

std::uint64_t EventJournal::drops() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_drops;
}

JournalWait EventJournal::wait(std::uint64_t from, std::uint64_t drops,
                               std::chrono::milliseconds timeout,
                               const std::atomic<bool>& stop) const {
    JournalWait result;
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto ready = [&] { return stop || m_drops != drops || m_next > from; };
    m_changed.wait_for(lock, timeout, ready);
    if (stop || m_drops != drops) {
        result.ended = true;
        return result;
    }
    const std::uint64_t first = m_events.empty() ? m_next : m_events.front().number;
    const std::size_t skipped = from > first ? static_cast<std::size_t>(from - first) : 0;
    for (std::size_t i = skipped; i < m_events.size(); ++i) result.events.push_back(m_events[i]);
    return result;
}

void EventJournal::drop_all() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_drops;
    }
    m_changed.notify_all();
}

void EventJournal::wake() const {
    // Taking the lock orders the reader's flag before the wait's check of it.
    { std::lock_guard<std::mutex> lock(m_mutex); }
    m_changed.notify_all();
}

}  // namespace Sim
