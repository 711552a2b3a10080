#include "commands/json_output.hpp"

#include <iostream>
#include <locale>
#include <sstream>

#include "hue/lights.hpp"
#include "util/utc_text.hpp"

namespace commands {

using web::json::value;

namespace {

// `number` with the digits the text printout shows (6 significant ones), so
// that 0.3f reads 0.3 and not 0.30000001192092896.
value shown_number(float number) {
    std::stringstream text;
    text.imbue(std::locale::classic());
    text << number;
    double shown = 0;
    text >> shown;
    return value::number(shown);
}

}  // namespace

bool wants_json(const boost::program_options::variables_map& options) {
    return options.count("json") != 0;
}

void print_json(const value& document) { std::cout << document.serialize() << std::endl; }

void print_result(const boost::program_options::variables_map& options, const std::string& text,
                  const char* result, const std::optional<std::string>& id) {
    if (wants_json(options)) {
        value document = value::object();
        document["result"] = value::string(result);
        document["id"] = id ? value::string(*id) : value::null();
        print_json(document);
    } else if (!text.empty()) {
        std::cout << text << std::endl;
    }
}

value utc_json(const std::tm& time) { return value::string(Util::utc_iso_text(time)); }

void add_color_json(value& object, Hue::ColorMode mode, float x, float y, std::uint16_t ct,
                    std::uint16_t hue, std::uint8_t sat) {
    const bool hs = mode == Hue::ColorMode::hs;
    const bool xy = mode == Hue::ColorMode::xy;
    object["colormode"] = value::string(Hue::color_mode_text(mode));
    object["hue"] = hs ? value::number(hue) : value::null();
    object["sat"] = hs ? value::number(static_cast<unsigned>(sat)) : value::null();
    object["x"] = xy ? shown_number(x) : value::null();
    object["y"] = xy ? shown_number(y) : value::null();
    object["ct"] = mode == Hue::ColorMode::ct ? value::number(ct) : value::null();
}

}  // namespace commands
