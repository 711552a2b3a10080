// Reads the input, when it is JSON, as a bridge's lights listing. JSON type
// errors are the reader's expected failures; any other exception is a finding.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "hue/client.hpp"
#include "hue/lights.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto json = FuzzSupport::parse_json(data, size);
    if (!json) return 0;
    static const Hue::Client client;
    try {
        const Hue::Lights lights = Hue::Lights::from_json(client, *json);
        for (const Hue::Light& light : lights) {
            light.id();
            light.name();
            light.modelid();
            light.swversion();
            const Hue::LightState state = light.state();
            Hue::color_mode_text(state.colormode);
        }
    } catch (const Json::Error&) {
        return 0;
    }
    return 0;
}
