// Reads the input as an event stream body with EventStreamReader, and the data
// of every event as the bridge's event containers. The first byte chooses the
// limits and how many bytes each feed brings. The events, heartbeats and
// failure must not depend on how the bytes were split into feeds.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.hpp"
#include "http/event_stream.hpp"
#include "hue/event_changes.hpp"

using FuzzSupport::require;

namespace {

struct StreamRead {
    std::vector<Http::StreamEvent> events;
    std::size_t heartbeats = 0;
    std::optional<std::string> error;
    std::string last_id;

    bool same(const StreamRead& other) const {
        if (events.size() != other.events.size()) return false;
        for (std::size_t i = 0; i < events.size(); ++i) {
            const auto& a = events[i];
            const auto& b = other.events[i];
            if (a.id != b.id || a.type != b.type || a.data != b.data) return false;
        }
        return heartbeats == other.heartbeats && error == other.error && last_id == other.last_id;
    }
};

StreamRead read_stream(std::string_view body, std::size_t feed_size, std::size_t line_limit,
                       std::size_t data_limit) {
    Http::EventStreamReader reader(line_limit, data_limit);
    StreamRead read;
    while (!body.empty()) {
        const std::size_t size = feed_size < body.size() ? feed_size : body.size();
        Http::EventBatch batch = reader.feed(body.substr(0, size));
        body.remove_prefix(size);
        for (auto& event : batch.events) {
            require(event.data.size() <= data_limit, "an event's data fits its limit");
            require(event.id.size() <= line_limit && event.type.size() <= line_limit,
                    "an id and a type fit the line limit");
            read.events.push_back(std::move(event));
        }
        read.heartbeats += batch.heartbeats;
        if (batch.error) {
            require(!read.error || read.error == batch.error, "a failure stays the same");
            read.error = batch.error;
        }
    }
    read.last_id = reader.last_event_id();
    return read;
}

bool plain_id(const std::string& id) {
    if (id.empty()) return false;
    for (const char c : id) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
                           (c >= 'A' && c <= 'Z') || c == '-' || c == '_';
        if (!plain) return false;
    }
    return true;
}

void check_changes(const std::string& data) {
    const Hue::EventChanges changes = Hue::read_event_changes(data);
    require(!changes.skipped || changes.changes.empty(), "skipped data names nothing");
    for (const auto& change : changes.changes) {
        require(change.kind == "light" || change.kind == "group" || change.kind == "sensor",
                "a change is of a light, a group or a sensor");
        require(change.type == "update" || change.type == "add" || change.type == "delete" ||
                    change.type == "error",
                "a change has a known type");
        require(plain_id(change.id), "a change's id needs no escaping in a path");
        require(change.path == "/" + change.kind + "s/" + change.id, "a change's path is its id's");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t line_limits[] = {8, 64, Http::kEventLineLimit, Http::kEventLineLimit};
    const std::size_t line_limit = line_limits[data[0] & 3];
    const std::size_t data_limits[] = {16, 256, Http::kEventDataLimit, Http::kEventDataLimit};
    const std::size_t data_limit = data_limits[(data[0] >> 2) & 3];
    const std::size_t feed_sizes[] = {1, 2, 7, 4096};
    const std::size_t feed_size = feed_sizes[(data[0] >> 4) & 3];
    const std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);

    const StreamRead whole = read_stream(body, SIZE_MAX, line_limit, data_limit);
    require(read_stream(body, feed_size, line_limit, data_limit).same(whole),
            "splitting changes nothing read");
    for (const auto& event : whole.events) check_changes(event.data);
    return 0;
}
