#include "sim/change_driver.hpp"

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "json/text.hpp"
#include "sim/sim_bridge.hpp"

namespace Sim {
namespace {

using std::chrono::milliseconds;

// Three lights: "1" near the top of the range, "10" at it, "2" off without a
// brightness.
std::shared_ptr<SimBridge> three_lights() {
    return std::make_shared<SimBridge>(Json::parse(
        R"({"state":{"lights":{"1":{"state":{"on":true,"bri":253}},"10":{"state":{"bri":254}},)"
        R"("2":{"name":"B","state":{"on":false}}}}})"));
}

// Waits at most 3 s for `driver` to have made `count` changes.
bool reaches(const ChangeDriver& driver, long count) {
    for (int i = 0; i < 300 && driver.changes() < count; ++i) {
        std::this_thread::sleep_for(milliseconds(10));
    }
    return driver.changes() == count;
}

// The driver goes round the lights in the order of their ids as listed, each
// change one event setting the light on with the brightness after its own,
// and stops after its count.
TEST(ChangeDriver, ChangesEachLightInTurnUpToItsCount) {
    const struct {
        long count;
        const char* lights;  // their states after
    } cases[] = {
        {1, R"({"1":{"state":{"bri":254,"on":true}},"10":{"state":{"bri":254}},)"
            R"("2":{"name":"B","state":{"on":false}}})"},
        {5, R"({"1":{"state":{"bri":1,"on":true}},"10":{"state":{"bri":2,"on":true}},)"
            R"("2":{"name":"B","state":{"bri":1,"on":true}}})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        const auto bridge = three_lights();
        {
            const ChangeDriver driver(bridge, {1000, c.count});
            ASSERT_TRUE(reaches(driver, c.count));
            std::this_thread::sleep_for(milliseconds(50));
            EXPECT_EQ(c.count, driver.changes());
        }
        EXPECT_EQ(c.lights, Json::text(bridge->state().at("lights")));
        EXPECT_EQ(static_cast<std::uint64_t>(c.count), bridge->journal().end());
    }
}

// Changes keep to their schedule: 10 at 50 a second take 180 ms from the
// first, however long each takes; a driver that lasts a while stops then.
TEST(ChangeDriver, KeepsToItsScheduleAndStopsWhenDestroyed) {
    const auto bridge = three_lights();
    const auto started = std::chrono::steady_clock::now();
    {
        const ChangeDriver driver(bridge, {50, 10});
        ASSERT_TRUE(reaches(driver, 10));
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_GE(took, milliseconds(180));
        EXPECT_LT(took, milliseconds(1000));
    }
    const auto slow_started = std::chrono::steady_clock::now();
    {
        const ChangeDriver slow(bridge, {0.01, 0});  // one change, then 100 s to the next
        ASSERT_TRUE(reaches(slow, 1));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - slow_started, milliseconds(1000));

    const ChangeDriver lasting(bridge, {1000, 0, 0.1});  // 100 ms of changes
    std::this_thread::sleep_for(milliseconds(300));
    const long made = lasting.changes();
    EXPECT_GT(made, 0);
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(made, lasting.changes());
}

// A driver that waits for a watcher changes nothing until a stream is served.
TEST(ChangeDriver, WhenWatchedWaitsForTheFirstStream) {
    const auto bridge = three_lights();
    const ChangeDriver driver(bridge, {1000, 2, 0, true});
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(0, driver.changes());
    bridge->stream_started();
    EXPECT_TRUE(reaches(driver, 2));
    bridge->stream_ended();
}

}  // namespace
}  // namespace Sim
