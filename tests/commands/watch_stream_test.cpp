#include "commands/watch_stream.hpp"

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "commands/watch_changes.hpp"
#include "hue/bridge_error.hpp"
#include "json/parse.hpp"
#include "sim/server.hpp"
#include "sim/sim_bridge.hpp"

namespace Commands {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr const char* kFixture =
    R"({"state":{"config":{"name":"Lab","bridgeid":"ECB5FAFFFE0A62C3","whitelist":{"u":{}}},)"
    R"("lights":{"1":{"name":"Hall","state":{"on":true,"bri":10}},)"
    R"("2":{"name":"Desk","state":{"on":true,"bri":20}},)"
    R"("3":{"name":"Kitchen","state":{"on":true,"bri":30}}},)"
    R"("sensors":{"5":{"name":"Door","state":{"open":false}},)"
    R"("6":{"name":"Hall","type":"ZLLPresence","config":{"battery":90},)"
    R"("state":{"presence":false,"lastupdated":"2026-12-08T07:00:00"}},)"
    R"("7":{"name":"Porch","type":"ZLLLightLevel","config":{"tholddark":16000,"tholdoffset":7000},)"
    R"("state":{"lightlevel":24772,"dark":false,"daylight":true,"lastupdated":"2026-12-08T07:00:00"}},)"
    R"("8":{"name":"Dimmer","type":"ZLLSwitch",)"
    R"("state":{"buttonevent":1002,"lastupdated":"2026-12-08T07:00:00"}},)"
    R"("9":{"name":"Cellar","type":"ZLLTemperature",)"
    R"("state":{"temperature":2157,"lastupdated":"2026-12-08T07:00:00"}}}}})";

// What one watch printed and told.
struct Watched {
    std::vector<std::string> lines;     // each change's line, its time "T"
    std::vector<std::string> warnings;  // the lines of failures that did not end it
    StreamWatch result = StreamWatch::ended;
};

// One bridge served over TLS, watched in this process while a thread of the
// test changes it.
class WatchStream : public ::testing::Test {
protected:
    void SetUp() override {
        m_bridge = std::make_shared<Sim::SimBridge>(Json::parse(kFixture));
        m_tls = m_server.add("127.0.0.1", 0, m_bridge, Sim::Transport::tls);
        m_server.open();
    }

    std::string peer() const { return "127.0.0.1:" + std::to_string(m_server.port(m_tls)); }

    // Runs the watch until `lines` lines were printed, `warnings` lines told
    // or 4 s have passed; `act`, unless null, runs on a thread of its own
    // once the stream is open and the starting copies were read.
    Watched watch(std::size_t lines, const std::function<void()>& act, std::size_t warnings = 100,
                  const StreamWatchTimes& times = {}) {
        Http::Endpoint at{Http::Scheme::Https, "127.0.0.1", m_server.port(m_tls), "/"};
        Http::Options config;
        config.timeout = std::chrono::seconds(3);
        const Hue::Client client(Hue::resource_endpoint(at, "api/u"), config);
        Watched watched;
        std::mutex mutex;
        WatchSink sink;
        sink.deadline = Clock::now() + std::chrono::seconds(4);
        sink.done = [&] {
            std::lock_guard<std::mutex> lock(mutex);
            return watched.lines.size() >= lines || watched.warnings.size() >= warnings ||
                   Clock::now() >= sink.deadline;
        };
        sink.print = [&](const Json::Value& before, const Json::Value& after) {
            std::lock_guard<std::mutex> lock(mutex);
            for (const auto& change : changes_between(before, after)) {
                watched.lines.push_back(change_line(change, "T", false));
            }
        };
        sink.warn = [&](const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex);
            watched.warnings.push_back(line);
        };
        std::thread actor;
        if (act) {
            actor = std::thread([&] {
                wait_for([&] { return requests().size() >= 2; });
                act();
            });
        }
        watched.result = watch_event_stream(client, "u", sink, times);
        if (actor.joinable()) actor.join();
        return watched;
    }

    // Waits up to 2 s for `ready`.
    static void wait_for(const std::function<bool()>& ready) {
        const auto until = Clock::now() + std::chrono::seconds(2);
        while (!ready() && Clock::now() < until) std::this_thread::sleep_for(milliseconds(5));
    }

    // Sends a request to the bridge as another program would.
    void change(const std::string& method, const std::string& path, const std::string& body) {
        m_bridge->handle(method, path, body);
    }

    // "METHOD PATH" of every request the bridge received, the changes made
    // through change() among them.
    std::vector<std::string> requests() const {
        std::vector<std::string> lines;
        for (const auto& r : m_bridge->requests()) lines.push_back(r.method + " " + r.path);
        return lines;
    }

    std::shared_ptr<Sim::SimBridge> m_bridge;
    Sim::Server m_server;
    std::size_t m_tls = 0;
};

TEST_F(WatchStream, EachResourceAnEventNamesIsReadOncePrintedOnce) {
    const Watched watched = watch(3, [&] {
        // Five events about sensor 5 at once, none changing its state.
        for (int sensitivity = 0; sensitivity < 5; ++sensitivity) {
            m_bridge->update([&](Json::Value& state) {
                state["sensors"]["5"]["config"]["sensitivity"] = sensitivity;
            });
        }
        // A new name and state at once: one line.
        m_bridge->update([](Json::Value& state) {
            state["lights"]["3"]["name"] = "Cooker";
            state["lights"]["3"]["state"]["on"] = false;
            state["lights"]["3"]["state"]["bri"] = 120;
        });
        change("DELETE", "/api/u/lights/2", "");
        std::this_thread::sleep_for(milliseconds(150));
        m_bridge->update([](Json::Value& state) { state["sensors"]["5"]["state"]["open"] = true; });
    });
    EXPECT_EQ(
        (std::vector<std::string>{"T light 3 \"Cooker\" bri=120 name=\"Cooker\" on=false",
                                  "T light 2 \"Desk\" removed", "T sensor 5 \"Door\" open=true"}),
        watched.lines);
    EXPECT_EQ(std::vector<std::string>(), watched.warnings);
    // The events about one resource within 100 ms: read at once and once
    // more at the end; sensor 5 once more for its change 150 ms later.
    const auto sent = requests();
    ASSERT_GE(sent.size(), 8u);
    EXPECT_EQ("GET /eventstream/clip/v2", sent[0]);
    EXPECT_EQ("GET /api/u", sent[1]);
    EXPECT_LE(std::count(sent.begin(), sent.end(), "GET /api/u/lights/3"), 2);
    EXPECT_EQ(1, std::count(sent.begin(), sent.end(), "GET /api/u/lights/2"));
    EXPECT_LE(std::count(sent.begin(), sent.end(), "GET /api/u/sensors/5"), 3);
    EXPECT_EQ(0, std::count(sent.begin(), sent.end(), "GET /api/u/lights/1"));
    // One read every 100 ms at most, whatever the events name.
    std::optional<Clock::time_point> last;
    for (const auto& r : m_bridge->requests()) {
        if (r.method != "GET" || r.path.rfind("/api/u/", 0) != 0) continue;
        if (last) EXPECT_GE(r.at - *last, milliseconds(90)) << r.path;
        last = r.at;
    }
}

// A sensor's event carries its report, battery or reachability, a light's
// its connectivity: each is printed as polling would print it, without a
// read; the
// buttons' control ids are read once.
TEST_F(WatchStream, SensorEventsArePrintedFromTheirReports) {
    const struct {
        const char* collection;
        const char* id;
        const char* part;
        const char* member;
        Json::Value value;
        const char* line;
    } cases[] = {
        {"sensors", "6", "state", "presence", true, "T sensor 6 \"Hall\" motion"},
        {"sensors", "6", "config", "battery", 15, "T sensor 6 \"Hall\" battery 15%"},
        {"sensors", "6", "config", "reachable", false, "T sensor 6 \"Hall\" unreachable"},
        {"lights", "1", "state", "reachable", false, "T light 1 \"Hall\" reachable=false"},
        {"sensors", "7", "state", "lightlevel", 10000,
         "T sensor 7 \"Porch\" 10 lux, dark, no daylight"},
        {"sensors", "8", "state", "buttonevent", 2000,
         "T sensor 8 \"Dimmer\" button 2 initial press"},
        {"sensors", "8", "state", "buttonevent", 2002,
         "T sensor 8 \"Dimmer\" button 2 short release"},
        {"sensors", "8", "state", "buttonevent", 2002,
         "T sensor 8 \"Dimmer\" button 2 short release"},
        {"sensors", "9", "state", "temperature", 2210, "T sensor 9 \"Cellar\" 22.1 °C"},
    };
    std::vector<std::string> lines;
    const Watched watched = watch(std::size(cases), [&] {
        int second = 0;
        for (const auto& c : cases) {
            m_bridge->update([&](Json::Value& state) {
                Json::Value& item = state[c.collection][c.id];
                item[c.part][c.member] = c.value;
                if (std::string(c.collection) == "sensors" && std::string(c.part) == "state") {
                    item["state"]["lastupdated"] = "2026-12-08T07:01:0" + std::to_string(++second);
                }
            });
            lines.push_back(c.line);
        }
    });
    EXPECT_EQ(lines, watched.lines);
    EXPECT_EQ(std::vector<std::string>(), watched.warnings);
    EXPECT_EQ((std::vector<std::string>{"GET /eventstream/clip/v2", "GET /api/u",
                                        "GET /clip/v2/resource/button"}),
              requests());
}

TEST_F(WatchStream, ADroppedStreamResumesWithTheLastEventIdAndPrintsNothingTwice) {
    const Watched watched = watch(2, [&] {
        change("PUT", "/api/u/lights/3/state", R"({"on":false})");
        std::this_thread::sleep_for(milliseconds(300));  // light 3's event printed
        m_bridge->drop_streams();
        // Seen by the whole state read once the stream is open again, and by
        // the event sent again for the Last-Event-ID or read anew.
        change("PUT", "/api/u/lights/1/state", R"({"on":false})");
    });
    EXPECT_EQ(
        (std::vector<std::string>{"T light 3 \"Kitchen\" on=false", "T light 1 \"Hall\" on=false"}),
        watched.lines);
    EXPECT_EQ((std::vector<std::string>{"event stream: the stream from " + peer() +
                                        " broke off; reconnecting."}),
              watched.warnings);
    std::vector<std::string> ids;
    for (const auto& r : m_bridge->requests()) {
        if (r.path == "/eventstream/clip/v2") ids.push_back(r.last_event_id);
    }
    ASSERT_EQ(2u, ids.size());
    EXPECT_EQ("", ids[0]);
    EXPECT_TRUE(std::regex_match(ids[1], std::regex(R"(\d+:0)"))) << ids[1];
}

// A bridge whose stream answers 404 is left to polling; one that refuses
// the user (403) ends the watch with error 1. Nothing else is read.
TEST_F(WatchStream, AStreamRefusedAtOnceIsLeftToPollingOrEndsTheWatch) {
    for (const int status : {404, 403}) {
        SCOPED_TRACE(status);
        m_bridge->clear_requests();
        m_bridge->set_fault("GET", "/eventstream/clip/v2", Sim::Fault{status, "No", "", 0});
        int error = 0;
        Watched watched;
        try {
            watched = watch(1, nullptr);
        } catch (const Hue::BridgeError& e) {
            error = e.type();
            EXPECT_STREQ("HTTP 403 No", e.what());
        }
        EXPECT_EQ(status == 403 ? Hue::kUnauthorisedUser : 0, error);
        if (status == 404) {
            EXPECT_EQ(StreamWatch::no_stream, watched.result);
        }
        EXPECT_EQ(std::vector<std::string>{"GET /eventstream/clip/v2"}, requests());
        EXPECT_EQ(std::vector<std::string>(), watched.warnings);
    }
}

TEST_F(WatchStream, AStreamThatFailsFirstIsOpenedAgainAfterTheWholeStateIsRead) {
    m_bridge->refuse("GET", "/eventstream/clip/v2", 503, 1);
    const Watched watched = watch(1, [&] {
        wait_for([&] { return requests().size() >= 4; });  // the stream open again, read whole
        change("PUT", "/api/u/lights/1/state", R"({"bri":11})");
    });
    EXPECT_EQ(StreamWatch::ended, watched.result);
    EXPECT_EQ(std::vector<std::string>{"T light 1 \"Hall\" bri=11"}, watched.lines);
    EXPECT_EQ(std::vector<std::string>{"event stream: HTTP 503 Service Unavailable; reconnecting."},
              watched.warnings);
    const auto sent = requests();
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ((std::vector<std::string>{"GET /eventstream/clip/v2", "GET /api/u",
                                        "GET /eventstream/clip/v2", "GET /api/u"}),
              std::vector<std::string>(sent.begin(), sent.begin() + 4));
}

// Streams written whole as a fault: what each makes the watch read and tell
// before the stream ends.
TEST_F(WatchStream, EachStreamIsReadAsItsEventsSay) {
    const auto event = [](const char* type, const char* path) {
        return std::string("id: 1:0\ndata: [{\"type\":\"") + type + "\",\"data\":[{\"id_v1\":\"" +
               path + "\"}]}]\n\n";
    };
    const std::string ended = "event stream: PEER ended the stream; reconnecting.";
    const struct {
        const char* what;
        std::string body;
        std::vector<std::string> reads;  // after the stream and the whole state
        std::string warning;
    } cases[] = {
        {"a line over its bound breaks the stream, not the memory",
         "data: " + std::string(64 * 1024 - 6 + 1, 'x') + "\n\n",
         {},
         "event stream: an event stream line is longer than 65536 bytes; reconnecting."},
        {"a known light is read", event("update", "/lights/1"), {"GET /api/u/lights/1"}, ended},
        {"a light added is read", event("add", "/lights/9"), {"GET /api/u/lights/9"}, ended},
        {"the group of all lights and a light not known are not",
         event("update", "/groups/0") + event("update", "/lights/9"),
         {},
         ended},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_bridge->clear_requests();
        m_bridge->set_fault("GET", "/eventstream/clip/v2", Sim::Fault{200, "OK", c.body, 0});
        const Watched watched = watch(1, nullptr, 1);
        std::string warning = c.warning;
        if (warning.find("PEER") != std::string::npos) {
            warning.replace(warning.find("PEER"), 4, peer());
        }
        EXPECT_EQ(std::vector<std::string>{warning}, watched.warnings);
        EXPECT_EQ(std::vector<std::string>(), watched.lines);
        std::vector<std::string> reads = {"GET /eventstream/clip/v2", "GET /api/u"};
        reads.insert(reads.end(), c.reads.begin(), c.reads.end());
        const auto sent = requests();
        EXPECT_EQ(reads, std::vector<std::string>(
                             sent.begin(), sent.begin() + std::min(sent.size(), reads.size())));
        for (std::size_t i = reads.size(); i < sent.size(); ++i) {
            EXPECT_EQ("GET /eventstream/clip/v2", sent[i]);  // opened again
        }
    }
}

// A break after a stream that stayed open for the steady time is followed by
// a reconnect at once; after a shorter one, by the next longer wait.
TEST_F(WatchStream, TheWaitsStartAfreshAfterAStreamThatStayedOpen) {
    const struct {
        milliseconds steady;
        const char* reconnect;
    } cases[] = {{milliseconds(200), "reconnecting."},
                 {milliseconds(2000), "reconnecting in 1 s."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reconnect);
        m_bridge->clear_requests();
        m_bridge->refuse("GET", "/eventstream/clip/v2", 503, 1);
        StreamWatchTimes times;
        times.steady = c.steady;
        const auto act = [&] {
            wait_for([&] { return requests().size() >= 4; });  // open again, read whole
            std::this_thread::sleep_for(milliseconds(400));
            m_bridge->drop_streams();
        };
        EXPECT_EQ((std::vector<std::string>{
                      "event stream: HTTP 503 Service Unavailable; reconnecting.",
                      "event stream: the stream from " + peer() + " broke off; " + c.reconnect}),
                  watch(100, act, 2, times).warnings);
    }
}

TEST(WatchStreamReconnect, WaitsLongerAfterEachBreakUpTo30Seconds) {
    const int breaks[] = {0, 1, 2, 3, 4, 5, 6, 40};
    const int seconds[] = {0, 1, 2, 4, 8, 16, 30, 30};
    for (std::size_t i = 0; i < std::size(breaks); ++i) {
        EXPECT_EQ(std::chrono::seconds(seconds[i]), reconnect_delay(breaks[i])) << breaks[i];
    }
}

}  // namespace
}  // namespace Commands
