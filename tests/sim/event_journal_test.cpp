#include "sim/event_journal.hpp"

#include <atomic>
#include <chrono>
#include <string>

#include <gtest/gtest.h>

namespace Sim {
namespace {

using std::chrono::milliseconds;

const std::vector<ResourceChange> kChange = {{"update", "light", "/lights/1"}};

// A journal of `count` events stamped 1000 s after the epoch.
void fill(EventJournal& journal, int count) {
    journal.set_clock([] { return std::int64_t{1000}; });
    for (int i = 0; i < count; ++i) journal.append(kChange);
}

// A reader resumes after an event the journal holds; any other id, dropped
// for space or never given, resumes nowhere.
TEST(EventJournal, ResumesOnlyAfterAnEventItHolds) {
    EventJournal journal(3);
    fill(journal, 5);  // holds 1000:2 .. 1000:4
    const struct {
        const char* id;
        std::optional<std::uint64_t> next;
    } cases[] = {
        {"1000:2", 3},
        {"1000:4", 5},
        {"1000:1", std::nullopt},
        {"1000:5", std::nullopt},
        {"999:3", std::nullopt},
        {"1000:", std::nullopt},
        {"1000:3x", std::nullopt},
        {"3", std::nullopt},
        {"1000:99999999999999999999", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.next, journal.after(c.id));
    }
}

// A reader gets every event from its place on; one that fell behind what the
// journal holds gets what it still holds; the ids count from 0.
TEST(EventJournal, AReaderGetsTheEventsFromItsPlace) {
    const struct {
        std::uint64_t from;
        const char* first;
        std::size_t size;
    } cases[] = {{3, "1000:3", 2}, {0, "1000:2", 3}, {4, "1000:4", 1}};
    EventJournal journal(3);
    fill(journal, 5);
    const std::atomic<bool> running{false};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from);
        const JournalWait got = journal.wait(c.from, 0, milliseconds(0), running);
        ASSERT_EQ(c.size, got.events.size());
        EXPECT_EQ(c.first, got.events.front().id);
        EXPECT_EQ("1000:4", got.events.back().id);
        EXPECT_FALSE(got.ended);
    }
    EXPECT_TRUE(journal.wait(5, 0, milliseconds(0), running).events.empty());
}

}  // namespace
}  // namespace Sim
