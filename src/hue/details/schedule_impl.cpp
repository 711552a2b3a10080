#include "hue/details/schedule_impl.hpp"

#include "json/text.hpp"

namespace Hue {
namespace details {

using Json::Value;

void Schedule_Impl::read(const Value& schedule) {
    // An error array to a refresh leaves the schedule as it was; any other value
    // that is not an object is no schedule.
    if (schedule.is_array()) return;
    if (!schedule.is_object()) throw Json::Error("not an object");
    m_changed = 0;
    read_field(schedule, "name", m_name);
    read_field(schedule, "description", m_description);
    const Value* time = Json::find(schedule, "time");
    if (time != nullptr) m_time.parse_time(Json::as_string(*time));
    const Value* command = Json::find(schedule, "command");
    if (command != nullptr) m_command = Json::text(*command);
    read_field(schedule, "status", m_status);
    if (time != nullptr && command != nullptr) m_whole = true;
}

Value Schedule_Impl::save_body() const {
    Value body;  // null until a member is set
    if ((m_changed & kName) != 0) body["name"] = m_name;
    if ((m_changed & kDescription) != 0) body["description"] = m_description;
    if ((m_changed & kStatus) != 0) body["status"] = m_status;
    return body;
}

}  // namespace details
}  // namespace Hue
