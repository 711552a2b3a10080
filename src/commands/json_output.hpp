#ifndef GLOWRIG_COMMANDS_JSON_OUTPUT_HPP_
#define GLOWRIG_COMMANDS_JSON_OUTPUT_HPP_

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include <cpprest/json.h>

#include "commands/output.hpp"

namespace Hue {
enum class ColorMode : std::uint8_t;
}  // namespace Hue

namespace commands {

// The JSON printouts (option "json"): every printing command writes exactly
// one JSON document, on one line, to std::cout instead of its text. The names
// are documented in docs/json.md.

// Writes `document` and a line end to the printout of `output`.
void print_json(const Output& output, const web::json::value& document);

// Writes `items` as the command line asks: with the option "json" as the
// document {key: to_json(items)}, else with `print_text`.
template <class Items>
void print_listing(const Output& output, const char* key, const Items& items,
                   web::json::value (*to_json)(const Items&), void (*print_text)(const Items&)) {
    if (output.json()) {
        web::json::value document = web::json::value::object();
        document[key] = to_json(items);
        print_json(output, document);
    } else {
        print_text(items);
    }
}

// Reports a change that prints no item: `text` (when not empty) as a line, or
// with the option "json" the document {"result": result, "id": id or null}.
void print_result(const Output& output, const std::string& text, const char* result,
                  const std::optional<std::string>& id);

// `time`, read as a UTC calendar time, as ISO 8601 UTC text
// ("2014-05-01T07:00:00Z"), the fields normalised as utc_text() does.
web::json::value utc_json(const std::tm& time);

// The colour fields of a light's state or a group's action: "colormode" and
// the values of that mode ("hue" and "sat", "x" and "y", or "ct"); the
// values of the other modes are null, as are all of them for an invalid mode.
void add_color_json(web::json::value& object, Hue::ColorMode mode, float x, float y,
                    std::uint16_t ct, std::uint16_t hue, std::uint8_t sat);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_JSON_OUTPUT_HPP_
