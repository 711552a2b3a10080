#include "hue/details/schedule_impl.hpp"

#include <utility>

#include "hue/text.hpp"

namespace Hue {
namespace details {

using web::json::value;

Schedule_Impl::Schedule_Impl(Client client, std::string id)
    : m_client(std::move(client)), m_id(std::move(id)) {}

void Schedule_Impl::read(const value& schedule) {
    if (!schedule.is_object()) return;
    if (schedule.has_field("name")) m_name = schedule.at("name").as_string();
    if (schedule.has_field("description")) {
        m_description = schedule.at("description").as_string();
    }
    if (schedule.has_field("time")) m_time.parse_time(schedule.at("time").as_string());
    if (schedule.has_field("command")) m_command = schedule.at("command").serialize();
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

pplx::task<void> Schedule_Impl::refresh() {
    auto self = shared_from_this();
    // Only read_json: an error array holds none of the schedule's keys and changes nothing.
    return m_client.read(Method::Get, path()).then([self](const value& schedule) {
        self->read(schedule);
    });
}

pplx::task<void> Schedule_Impl::save() const {
    const value body = save_body();
    if (body.is_null()) return nothing_to_send();
    return m_client.read_strict(Method::Put, path(), body).then([](const value&) {});
}

std::string Schedule_Impl::path() const { return path_segment(m_id); }

}  // namespace details
}  // namespace Hue
