#ifndef GLOWRIG_SIM_EVENT_JOURNAL_HPP_
#define GLOWRIG_SIM_EVENT_JOURNAL_HPP_

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sim/event_data.hpp"

namespace Sim {

// One event of a bridge's event stream.
struct JournalEvent {
    std::uint64_t number = 0;  // counted from 0 per bridge
    std::string id;            // "<unix seconds>:<number>"
    std::string data;          // the JSON array of containers, on one line
};

// What a reader waiting for events gets.
struct JournalWait {
    std::vector<JournalEvent> events;  // in order; empty when none came in time
    bool ended = false;                // the streams were dropped or the reader stopped
};

// The last events of one bridge, numbered as they come, and the readers
// waiting for more. Safe for concurrent use.
class EventJournal {
public:
    // Keeps the last `capacity` events.
    explicit EventJournal(std::size_t capacity = 1000);

    // Stamps events with the seconds `clock` gives (default: the system clock).
    void set_clock(std::function<std::int64_t()> clock);

    // Appends one event naming `changes` (not empty) and wakes the readers.
    void append(const std::vector<ResourceChange>& changes);

    // The number the next event will get: where a new reader starts.
    std::uint64_t end() const;

    // The number following the event `id` when it is still held; nullopt for
    // an id it does not hold.
    std::optional<std::uint64_t> after(const std::string& id) const;

    // How many times the streams were dropped: a reader remembers it at start.
    std::uint64_t drops() const;

    // Waits at most `timeout` for events numbered `from` or later and returns
    // them all (from the oldest still held when `from` was dropped for space).
    // Returns at once with `ended` set when drop_all() was called after the
    // reader saw `drops` drops, or when `stop` is set; a reader that sets
    // `stop` then calls wake() so the wait notices at once.
    JournalWait wait(std::uint64_t from, std::uint64_t drops, std::chrono::milliseconds timeout,
                     const std::atomic<bool>& stop) const;

    // Ends every reader's wait (see wait()).
    void drop_all();

    // Wakes every waiting reader to look at its `stop` flag.
    void wake() const;

private:
    const std::size_t m_capacity;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::function<std::int64_t()> m_clock;
    std::deque<JournalEvent> m_events;
    std::uint64_t m_next = 0;
    std::uint64_t m_drops = 0;
};

}  // namespace Sim

#endif  // GLOWRIG_SIM_EVENT_JOURNAL_HPP_
