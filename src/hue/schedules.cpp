#include "hue/schedules.hpp"

#include <utility>

#include "hue/details/requests.hpp"
#include "hue/details/schedule_impl.hpp"

namespace Hue {

Schedule::Schedule(std::shared_ptr<details::Schedule_Impl> impl) : m_impl(std::move(impl)) {}

std::string Schedule::id() const { return m_impl->id(); }
std::string Schedule::name() const { return m_impl->name(); }
std::string Schedule::description() const { return m_impl->description(); }
std::string Schedule::command() const { return m_impl->command(); }
ScheduleTime Schedule::time() const { return m_impl->time(); }
std::string Schedule::status() const { return m_impl->status(); }
bool Schedule::whole() const { return m_impl->whole(); }

void Schedule::set_name(const std::string& name) { m_impl->set_name(name); }
void Schedule::set_description(const std::string& description) {
    m_impl->set_description(description);
}
void Schedule::set_command(const std::string& command) { m_impl->set_command(command); }
void Schedule::set_status(const std::string& status) { m_impl->set_status(status); }

void Schedule::refresh() { details::refresh(*m_impl, details::kRefreshSchedule, m_impl->path()); }

void Schedule::save() {
    details::send_change(m_impl->client(), details::kSave, m_impl->path(), m_impl->save_body());
}

Schedules Schedules::from_json(const Client& client, const Json::Value& listing) {
    return details::read_items<Schedules, Schedule, details::Schedule_Impl>(client, listing);
}

void Schedules::remove(const std::string& id) const {
    details::send(client(), details::kRemove, path_segment(id));
}

}  // namespace Hue
