#include "util/utc_text.hpp"

#include <iomanip>
#include <locale>
#include <sstream>

namespace Util {

namespace {

// `time` read as UTC, normalised, written with `format` in the "C" locale.
std::string utc_formatted(const std::tm& time, const char* format) {
    std::tm fields = time;
    const std::time_t seconds = timegm(&fields);
    std::tm normal{};
    gmtime_r(&seconds, &normal);
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::put_time(&normal, format);
    return text.str();
}

}  // namespace

std::string utc_text(const std::tm& time) { return utc_formatted(time, "%c UTC"); }

std::string utc_iso_text(const std::tm& time) { return utc_formatted(time, "%Y-%m-%dT%H:%M:%SZ"); }

}  // namespace Util
