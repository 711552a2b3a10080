// Reads the input, when it is JSON, as a bridge's schedules listing, then
// builds each schedule's save body. JSON type errors are the readers' expected
// failures; any other exception is a finding.
//
// Invariant: a time text the reader did not understand is sent back exactly
// as the bridge gave it.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.hpp"
#include "hue/client.hpp"
#include "hue/details/schedule_impl.hpp"
#include "hue/schedules.hpp"
#include "json/text.hpp"

using FuzzSupport::require;

namespace {

void save_body_of(const Hue::Client& client, const std::string& id, const Json::Value& schedule) {
    Hue::details::Schedule_Impl impl(client, id);
    impl.read(schedule);
    const Json::Value body = impl.save_body();
    Json::text(body);
    if (!FuzzSupport::kept_verbatim(impl.time())) return;
    const std::string& given = Json::as_string(Json::at(schedule, "time"));
    const Json::Value* sent = Json::find(body, "time");
    require(sent != nullptr && Json::as_string(*sent) == given,
            "a time that was not understood is saved as it was read");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto json = FuzzSupport::parse_json(data, size);
    if (!json) return 0;
    static const Hue::Client client;
    try {
        const Hue::Schedules schedules = Hue::Schedules::from_json(client, *json);
        for (const Hue::Schedule& schedule : schedules) {
            schedule.name();
            schedule.command();
            schedule.time().format_time();
        }
        for (const auto& [id, schedule] : Json::as_object(*json))
            save_body_of(client, id, schedule);
    } catch (const Json::Error&) {
        return 0;
    }
    return 0;
}
