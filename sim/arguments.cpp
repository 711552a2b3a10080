#include "sim/arguments.hpp"

#include <algorithm>
#include <iterator>

namespace Sim {
namespace {

// The options whose value is the next argument.
bool takes_value(const std::string& arg) {
    static const char* const kValued[] = {
        "--log",           "--ssdp",        "--ssdp-all",     "--mdns",       "--listings",
        "--redirect-from", "--change-rate", "--change-count", "--change-for", "--rate-limit"};
    return std::find(std::begin(kValued), std::end(kValued), arg) != std::end(kValued);
}

}  // namespace

std::vector<std::string> options_first(const std::vector<std::string>& args) {
    std::size_t after_last_bridge = 0;  // where the options after the last bridge start
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (takes_value(args[i])) {
            if (i + 1 == args.size()) return args;  // its value is missing
            ++i;
        } else if (args[i].rfind("-", 0) != 0) {
            after_last_bridge = i + 1;
        }
    }
    if (after_last_bridge == 0) return args;
    std::vector<std::string> ordered(args.begin() + static_cast<long>(after_last_bridge),
                                     args.end());
    ordered.insert(ordered.end(), args.begin(),
                   args.begin() + static_cast<long>(after_last_bridge));
    return ordered;
}

}  // namespace Sim
