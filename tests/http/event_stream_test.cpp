#include "http/event_stream.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace Http {
namespace {

using namespace std::string_literals;

// Everything one reader made of a body fed in parts.
struct Read {
    std::vector<StreamEvent> events;
    std::size_t heartbeats = 0;
    std::optional<std::string> error;
};

Read feed_parts(EventStreamReader& reader, const std::vector<std::string>& parts) {
    Read read;
    for (const auto& part : parts) {
        EventBatch batch = reader.feed(part);
        for (auto& event : batch.events) read.events.push_back(std::move(event));
        read.heartbeats += batch.heartbeats;
        if (batch.error) read.error = batch.error;
    }
    return read;
}

Read feed_whole(const std::string& body, std::size_t line_limit = kEventLineLimit,
                std::size_t data_limit = kEventDataLimit) {
    EventStreamReader reader(line_limit, data_limit);
    return feed_parts(reader, {body});
}

// "id|type|data" for each event, joined with ';'.
std::string summary(const std::vector<StreamEvent>& events) {
    std::string text;
    for (const auto& event : events) {
        if (!text.empty()) text += ';';
        text += event.id + '|' + event.type + '|' + event.data;
    }
    return text;
}

TEST(EventStreamReading, ReadsTheFieldsOfEachEvent) {
    const struct {
        const char* name;
        std::string body;
        const char* events;
        std::size_t heartbeats;
    } cases[] = {
        {"one event", "id: 1\ndata: [1]\n\n", "1|message|[1]", 0},
        {"no dispatch without an empty line", "data: a\n", "", 0},
        {"multi-line data", "data: a\ndata:b\ndata\ndata:  c\n\n", "|message|a\nb\n\n c", 0},
        {"id carried over", "id: 7\ndata: a\n\ndata: b\n\nid\ndata: c\n\n",
         "7|message|a;7|message|b;|message|c", 0},
        {"id without data dispatches nothing but stays", "id: 4\n\ndata: x\n\n", "4|message|x", 0},
        {"an id holding NUL is ignored", "id: 2\ndata: a\n\nid: 3\0\ndata: b\n\n"s,
         "2|message|a;2|message|b", 0},
        {"comments are heartbeats", ":hi\n: \ndata: a\n:\n\n", "|message|a", 3},
        {"event type, reset after dispatch", "event: change\ndata: a\n\ndata: b\n\n",
         "|change|a;|message|b", 0},
        {"other fields and retry carry nothing", "retry: 10\nfoo: bar\ndata: a\n\n", "|message|a",
         0},
        {"CRLF", "id: 1\r\ndata: a\r\ndata: b\r\n\r\n", "1|message|a\nb", 0},
        {"CR alone", "id: 1\rdata: a\r\rdata: b\r\r", "1|message|a;1|message|b", 0},
        {"CR then LF is one line end, LF then CR two", "data: a\r\n\n\rdata: b\n\r",
         "|message|a;|message|b", 0},
        {"a byte order mark at the start",
         "\xEF\xBB\xBF"
         "data: a\n\n",
         "|message|a", 0},
        {"only one byte order mark is skipped",
         "\xEF\xBB\xBF\xEF\xBB\xBF"
         "data: a\n\n",
         "", 0},
        {"a broken byte order mark is the line's",
         "\xEF\xBB"
         "data: a\n\ndata: b\n\n",
         "|message|b", 0},
        {"empty data is an event", "data\n\ndata:\n\n", "|message|;|message|", 0},
        {"a colon in the value stays", "data: {\"a\": 1}\n\n", "|message|{\"a\": 1}", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Read read = feed_whole(c.body);
        EXPECT_EQ(c.events, summary(read.events));
        EXPECT_EQ(c.heartbeats, read.heartbeats);
        EXPECT_FALSE(read.error);
    }
}

// Every split of a stream into two or three parts reads as the whole one.
TEST(EventStreamReading, SplitsAnywhereReadTheSame) {
    const std::string body =
        "\xEF\xBB\xBF: hello\r\nid: 41\r\nevent: x\r\ndata: [{\"type\":\"update\"}]\r\n\r\n"
        "data: a\rdata: b\r\r:\nid: 42\ndata: c\n\nretry: 5\ndata\n\n";
    const Read whole = feed_whole(body);
    ASSERT_EQ(4u, whole.events.size());
    ASSERT_EQ(2u, whole.heartbeats);
    for (std::size_t first = 0; first <= body.size(); ++first) {
        for (std::size_t second = first; second <= body.size(); ++second) {
            SCOPED_TRACE(testing::Message() << "split at " << first << " and " << second);
            EventStreamReader reader;
            const Read read = feed_parts(
                reader,
                {body.substr(0, first), body.substr(first, second - first), body.substr(second)});
            ASSERT_EQ(summary(whole.events), summary(read.events));
            ASSERT_EQ(whole.heartbeats, read.heartbeats);
            ASSERT_EQ("42", reader.last_event_id());
        }
    }
}

TEST(EventStreamReading, FailsOnALineOrDataOverTheLimits) {
    const struct {
        const char* name;
        std::string body;
        const char* events;  // dispatched before the failure
        const char* error;   // null: none
    } cases[] = {
        {"a line at the limit", "data: " + std::string(10, 'x') + "\n\n", "|message|xxxxxxxxxx",
         nullptr},
        {"a line over the limit", "data: a\n\ndata: " + std::string(11, 'x') + "\n\ndata: b\n\n",
         "|message|a", "an event stream line is longer than 16 bytes"},
        {"a comment over the limit", ":" + std::string(16, ' ') + "\n", "",
         "an event stream line is longer than 16 bytes"},
        {"a line over the limit without its end", "data: " + std::string(11, 'x'), "",
         "an event stream line is longer than 16 bytes"},
        {"data at the limit", "data: 0123456789\ndata: 012345678\n\n",
         "|message|0123456789\n012345678", nullptr},
        {"data over the limit", "data: 0123456789\ndata: 0123456789\n\n", "",
         "an event's data is longer than 20 bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Fed whole and one byte at a time.
        for (const bool bytewise : {false, true}) {
            EventStreamReader reader(16, 20);
            std::vector<std::string> parts;
            if (bytewise) {
                for (const char byte : c.body) parts.emplace_back(1, byte);
            } else {
                parts.push_back(c.body);
            }
            const Read read = feed_parts(reader, parts);
            EXPECT_EQ(c.events, summary(read.events));
            EXPECT_EQ(c.error ? std::optional<std::string>(c.error) : std::nullopt, read.error);
        }
    }
}

TEST(EventStreamReading, AFailedStreamReadsNothingUntilRestarted) {
    EventStreamReader reader(16, 20);
    EXPECT_TRUE(reader.feed("id: 9\n" + std::string(17, 'x')).error);
    const EventBatch after = reader.feed("data: a\n\n");
    EXPECT_TRUE(after.error);
    EXPECT_TRUE(after.events.empty());
    // A new body after a reconnect: the partial line is gone, the id stays.
    reader.restart();
    const EventBatch again = reader.feed(
        "\xEF\xBB\xBF"
        "data: b\n\n");
    EXPECT_FALSE(again.error);
    EXPECT_EQ("9|message|b", summary(again.events));
    EXPECT_EQ("9", reader.last_event_id());
}

TEST(EventStreamReading, RestartDropsThePartialEvent) {
    EventStreamReader reader;
    reader.feed("data: a\ndata: b");
    reader.restart();
    EXPECT_EQ("|message|c", summary(reader.feed("data: c\n\n").events));
}

}  // namespace
}  // namespace Http
