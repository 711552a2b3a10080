#include "commands/console.hpp"

#include <iomanip>
#include <locale>
#include <sstream>

namespace commands {

std::string utc_text(const std::tm& time) {
    std::tm fields = time;
    const std::time_t seconds = timegm(&fields);
    std::tm normal{};
    gmtime_r(&seconds, &normal);
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::put_time(&normal, "%c UTC");
    return text.str();
}

}  // namespace commands
