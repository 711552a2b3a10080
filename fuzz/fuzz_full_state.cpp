// Reads the input, when it is JSON, as a bridge's whole state: the seven
// collections, scenes, sensors and rules included. JSON type and missing-key
// errors are the reader's expected failures; any other exception is a finding.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "hue/fullstate.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto json = FuzzSupport::parse_json(data, size);
    if (!json) return 0;
    static const Http::Options options;
    static const Hue::Bridge bridge("", {.host = "192.0.2.1"});
    static const AppIdentity identity{"glowrig", "fuzzuser01"};
    try {
        const Hue::FullState state = Hue::read_full_state(bridge, options, identity, *json);
        for (const Hue::Scene& scene : std::get<Hue::Scenes>(state)) scene.lights();
        for (const Hue::Sensor& sensor : std::get<Hue::Sensors>(state)) sensor.swversion();
        for (const Hue::Rule& rule : std::get<Hue::Rules>(state)) rule.name();
    } catch (const Json::Error&) {
        return 0;
    }
    return 0;
}
