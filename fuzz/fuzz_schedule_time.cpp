// Reads the input, as UTF-8, as a schedule time and writes it back.
//
// Invariants: a text that was kept verbatim comes back unchanged; a text that
// was understood formats to a text that reads back as understood and formats
// identically again (parse, format, parse, format is stable).

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.hpp"
#include "hue/schedule_time.hpp"

using FuzzSupport::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text = FuzzSupport::as_text(data, size);

    Hue::ScheduleTime first;
    first.parse_time(text);
    const std::string formatted = first.format_time();
    if (FuzzSupport::kept_verbatim(first)) {
        require(formatted == text, "a kept text comes back unchanged");
        return 0;
    }
    if (first.kind == Hue::ScheduleTimeKind::none) {
        require(formatted.empty(), "kind none formats as the empty text");
        return 0;
    }

    Hue::ScheduleTime second;
    second.parse_time(formatted);
    require(!FuzzSupport::kept_verbatim(second), "a formatted time reads back to its end");
    require(second.kind == first.kind, "a formatted time reads back as the same kind");
    require(second.format_time() == formatted, "a formatted time formats identically again");
    return 0;
}
