#include "hue/details/schedule_impl.hpp"

namespace Hue {
namespace details {

using web::json::value;

void Schedule_Impl::read(const value& schedule) {
    // An error array to a refresh leaves the schedule as it was; any other value
    // that is not an object is no schedule.
    if (schedule.is_array()) return;
    if (!schedule.is_object()) throw web::json::json_exception("not an object");
    read_field(schedule, "name", m_name);
    read_field(schedule, "description", m_description);
    if (schedule.has_field("time")) m_time.parse_time(schedule.at("time").as_string());
    if (schedule.has_field("command")) m_command = schedule.at("command").serialize();
    read_field(schedule, "status", m_status);
    if (schedule.has_field("time") && schedule.has_field("command")) m_whole = true;
}

value Schedule_Impl::save_body() const {
    value body = value::null();
    if (!m_name.empty()) body["name"] = value::string(m_name);
    // A time the reader did not understand comes back from format_time() exactly as it was read.
    if (m_time.kind != ScheduleTimeKind::none) {
        body["time"] = value::string(m_time.format_time());
    }
    if (!m_description.empty()) body["description"] = value::string(m_description);
    return body;
}

}  // namespace details
}  // namespace Hue
