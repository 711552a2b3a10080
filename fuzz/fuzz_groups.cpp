// Reads the input, when it is JSON, as a bridge's groups listing. JSON type
// errors are the reader's expected failures; any other exception is a finding.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "hue/client.hpp"
#include "hue/groups.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto json = FuzzSupport::parse_json(data, size);
    if (!json) return 0;
    static const Hue::Client client;
    try {
        const Hue::Groups groups = Hue::Groups::from_json(client, *json);
        for (const Hue::Group& group : groups) {
            group.id();
            group.name();
            group.lights();
            const Hue::GroupAction action = group.action();
            Hue::color_mode_text(action.colormode);
        }
    } catch (const Json::Error&) {
        return 0;
    }
    return 0;
}
