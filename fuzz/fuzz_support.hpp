#ifndef GLOWRIG_FUZZ_FUZZ_SUPPORT_HPP_
#define GLOWRIG_FUZZ_FUZZ_SUPPORT_HPP_

// Helpers shared by the fuzz targets. A target reports a broken invariant
// through require(), which aborts so that libFuzzer records the input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "hue/schedule_time.hpp"
#include "json/parse.hpp"

namespace FuzzSupport {

// Aborts with `what` on standard error unless `condition` holds.
inline void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

inline std::string as_text(const uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// The input read as JSON, or nullopt when it is not JSON: the readers under
// test only ever see what the JSON parser has accepted.
inline std::optional<Json::Value> parse_json(const uint8_t* data, std::size_t size) {
    try {
        return Json::parse(as_text(data, size));
    } catch (const Json::ParseError&) {
        return std::nullopt;
    }
}

// Whether `time` keeps the text it read: a kept text is written back even by a
// record of kind none, which otherwise writes the empty text.
inline bool kept_verbatim(Hue::ScheduleTime time) {
    time.kind = Hue::ScheduleTimeKind::none;
    return !time.format_time().empty();
}

}  // namespace FuzzSupport

#endif  // GLOWRIG_FUZZ_FUZZ_SUPPORT_HPP_
