#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "support/sim_fixture.hpp"

namespace {

using std::chrono::milliseconds;

class WatchCommand : public TestingSupport::SimFixture {
protected:
    void SetUp() override {
        std::ifstream in(std::string(GLOWRIG_TEST_DATA) + "/../../fixtures/sample.json");
        std::stringstream text;
        text << in.rdbuf();
        start(text.str());
    }

    void TearDown() override {
        if (m_changer.joinable()) m_changer.join();
        SimFixture::TearDown();
    }

    // Turns light 3 off at 120 (and, with `also_light_1`, light 1 off) after
    // `delay`, while glowrig runs; with `repeat`, sets light 3's brightness
    // to 1, 2, 3 ... every 300 ms after that, `repeat` times.
    void change_later(milliseconds delay, bool also_light_1 = false, int repeat = 0) {
        m_changer = std::thread([this, delay, also_light_1, repeat] {
            std::this_thread::sleep_for(delay);
            bridge().update([&](Json::Value& state) {
                state["lights"]["3"]["state"]["on"] = false;
                state["lights"]["3"]["state"]["bri"] = 120;
                if (also_light_1) state["lights"]["1"]["state"]["on"] = false;
            });
            for (int i = 1; i <= repeat; ++i) {
                std::this_thread::sleep_for(milliseconds(300));
                bridge().update(
                    [&](Json::Value& state) { state["lights"]["3"]["state"]["bri"] = i; });
            }
        });
    }

    // Every request was a read of the whole state; returns how many there were.
    std::size_t whole_state_reads() {
        const auto lines = request_lines();
        for (const auto& line : lines) EXPECT_EQ(expand("GET /api/{user}"), line);
        return lines.size();
    }

    std::thread m_changer;
};

// Each run has TZ set (kZone): times carry its offset.
const std::regex kTime(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d-03:30)");
const TestingSupport::Environment kZone = {{"TZ", "NST3:30"}};

TEST_F(WatchCommand, AChangeBetweenReadsPrintsOneLine) {
    change_later(milliseconds(500));
    const auto result = run_binary({"watch", "--interval=200", "--for=2"}, kZone);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ("", result.errors);
    std::smatch time;
    ASSERT_TRUE(std::regex_search(result.output, time, kTime)) << result.output;
    EXPECT_EQ(" light 3 \"Kitchen\" bri=120 on=false\n", time.suffix().str());
    // One read at the start, then one every 200 ms for 2 s.
    const auto reads = whole_state_reads();
    EXPECT_GE(reads, 9u);
    EXPECT_LE(reads, 11u);
}

TEST_F(WatchCommand, JsonPrintsOneObjectPerChange) {
    // Only light 3 of the two lights that change.
    change_later(milliseconds(500), true);
    const auto result = run_binary(
        {"watch", "--interval=200", "--count=1", "--json", "--type=light", "--id=Kitchen"}, kZone);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ("", result.errors);
    ASSERT_EQ(1, std::count(result.output.begin(), result.output.end(), '\n')) << result.output;
    Json::Value line = Json::parse(result.output);
    EXPECT_TRUE(std::regex_match(line.at("time").get<std::string>(),
                                 std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d-03:30)")));
    line.erase("time");
    EXPECT_EQ(Json::parse(R"({"changes":{"bri":120,"on":false},"event":"changed","id":"3",)"
                          R"("name":"Kitchen","resource":"light"})"),
              line);
}

// A bridge that forgets glowrig's user ends the watch at once, with the
// advice to authorise it again, whether it is polled or its stream is followed.
TEST_F(WatchCommand, ABridgeThatForgetsTheUserEndsTheWatch) {
    for (const bool tls : {false, true}) {
        SCOPED_TRACE(tls ? "stream" : "polling");
        if (tls) serve_tls();
        SetUp();
        m_changer = std::thread([this] {
            std::this_thread::sleep_for(milliseconds(500));
            bridge().update([&](Json::Value& state) {
                state["config"]["whitelist"].erase(expand("{user}"));
                state["lights"]["3"]["state"]["on"] = false;
            });
        });
        const auto result = run_binary({"watch", "--interval=200", "--for=4"});
        m_changer.join();
        EXPECT_EQ(1, result.status);  // before --for ended it
        const std::string at = std::string(tls ? "https://" : "") + "{address}";
        // The bridge ends the streams of a key it forgets: the stream opened
        // again is refused.
        EXPECT_EQ(
            expand((tls ? "glowrig: watch: event stream: the stream from {address} broke "
                          "off; reconnecting.\n"
                        : "") +
                   std::string("glowrig is not authorised on ") + at +
                   ": press its link button, then run glowrig config --auth --bridge=" + at + "\n"),
            result.errors);
        EXPECT_TRUE(std::regex_search(result.output,
                                      std::regex(tls ? "HTTP 403 Forbidden" : "unauthorized user")))
            << result.output;
    }
}

// Over HTTPS the change comes over the event stream: the stream and the
// starting copies are all that is read, the light's event telling its change.
TEST_F(WatchCommand, OverHttpsTheEventStreamIsFollowed) {
    serve_tls();
    SetUp();
    // Through the bridge's routes, as another program would.
    m_changer = std::thread([this] {
        std::this_thread::sleep_for(milliseconds(500));
        bridge().handle("PUT", expand("/api/{user}/lights/3/state"), R"({"on":false,"bri":120})");
    });
    const auto result = run_binary({"watch", "--for=2", "--json"}, kZone);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ("", result.errors);
    Json::Value line = Json::parse(result.output);
    line.erase("time");
    EXPECT_EQ(Json::parse(R"({"changes":{"bri":120,"on":false},"event":"changed","id":"3",)"
                          R"("name":"Kitchen","resource":"light"})"),
              line);
    // The configuration first, for the id the certificate must name.
    EXPECT_EQ(expanded({"GET /api/config", "GET /eventstream/clip/v2", "GET /api/{user}",
                        "PUT /api/{user}/lights/3/state {\"on\":false,\"bri\":120}"}),
              request_lines());
}

TEST_F(WatchCommand, CountEndsAfterThatManyLines) {
    change_later(milliseconds(300), true);
    const auto started = std::chrono::steady_clock::now();
    // An option before the command word: still a stream of change lines alone.
    const auto result = run_binary({"--interval=200", "watch", "--count=1", "--for=4"}, kZone);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(0, result.status);
    ASSERT_FALSE(result.output.empty());
    EXPECT_NE('\n', result.output.front());
    std::smatch time;
    ASSERT_TRUE(std::regex_search(result.output, time, kTime)) << result.output;
    EXPECT_EQ(" light 1 \"Hall\" on=false\n", time.suffix().str());
}

TEST_F(WatchCommand, ForEndsAfterThatManySeconds) {
    const auto started = std::chrono::steady_clock::now();
    const auto result = run_binary({"watch", "--for=1", "--interval=300"});
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, milliseconds(1000));
    EXPECT_LT(took, milliseconds(2000));
    EXPECT_EQ(0, result.status);
    EXPECT_EQ("", result.output);
    EXPECT_EQ("", result.errors);
    EXPECT_EQ(4u, whole_state_reads());  // at 0, 300, 600 and 900 ms
}

TEST_F(WatchCommand, BoundsAreRefusedBeforeAnythingIsSent) {
    for (const char* option :
         {"--interval=199", "--count=0", "--for=0", "--interval=-1", "--type=light,scene"}) {
        SCOPED_TRACE(option);
        const auto result = run_binary({"watch", option});
        EXPECT_EQ(2, result.status);
        // One line, without the empty line other text printouts start with.
        EXPECT_TRUE(
            std::regex_match(result.output, std::regex("Error: option '[a-z]+' must be [^\n]*\n")))
            << result.output;
        EXPECT_EQ(0u, request_lines().size());
    }
}

// "watch | head -1" ends quietly with status 0 at the first line written
// after its reader left; SIGTERM and SIGINT end it with status 0.
TEST_F(WatchCommand, EndsQuietlyWhenTheReaderGoesOrASignalComes) {
    change_later(milliseconds(300), false, 3);
    const auto started = std::chrono::steady_clock::now();
    const auto piped = TestingSupport::run_program(
        "/bin/bash",
        {"-c", "set -o pipefail; \"$0\" watch --bridge=\"$1\" --interval=200 --for=4 | head -1",
         GLOWRIG_BINARY, address()},
        {}, 10);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    EXPECT_EQ(0, piped.status);
    EXPECT_EQ("", piped.errors);
    EXPECT_EQ(1, std::count(piped.output.begin(), piped.output.end(), '\n')) << piped.output;

    for (const char* signal : {"TERM", "INT"}) {
        SCOPED_TRACE(signal);
        const auto sent = std::chrono::steady_clock::now();
        const auto result = TestingSupport::run_program(
            "/bin/bash",
            {"-c",
             std::string(
                 "\"$0\" watch --bridge=\"$1\" --interval=200 --for=8 & sleep 0.5; kill -") +
                 signal + " $!; wait $!; echo status=$?",
             GLOWRIG_BINARY, address()},
            {}, 10);
        // Well before --for=8 has passed; lines of changes may come first.
        EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(3));
        EXPECT_TRUE(std::regex_search(result.output, std::regex("(^|\n)status=0\n$")))
            << result.output;
        EXPECT_EQ("", result.errors);
    }
}

}  // namespace
