#include "hue/schedules.hpp"

#include <utility>

#include "hue/bridge.hpp"
#include "hue/details/schedule_impl.hpp"
#include "hue/text.hpp"

namespace Hue {

using web::json::value;

Schedule::Schedule(std::shared_ptr<details::Schedule_Impl> impl) : m_impl(std::move(impl)) {}

std::string Schedule::id() const { return m_impl->id(); }
std::string Schedule::name() const { return m_impl->name(); }
std::string Schedule::description() const { return m_impl->description(); }
std::string Schedule::command() const { return m_impl->command(); }
ScheduleTime Schedule::time() const { return m_impl->time(); }

void Schedule::set_name(const std::string& name) { m_impl->set_name(name); }
void Schedule::set_description(const std::string& description) {
    m_impl->set_description(description);
}
void Schedule::set_command(const std::string& command) { m_impl->set_command(command); }
void Schedule::set_time(const ScheduleTime& time) { m_impl->set_time(time); }

pplx::task<void> Schedule::refresh() { return m_impl->refresh(); }

pplx::task<void> Schedule::save() { return m_impl->save(); }

Schedules Schedules::from_json(const Client& client, const value& listing) {
    return read_items<Schedules, Schedule, details::Schedule_Impl>(client, listing);
}

pplx::task<void> Schedules::remove(const std::string& id) const {
    return client().read_strict(Method::Delete, path_segment(id)).then([](const value&) {});
}

pplx::task<Schedules> Bridge::get_schedules(const ClientConfig& client_config,
                                            const AppIdentity& identity) const {
    return read_collection<Schedules>(make_client(identity, "schedules", client_config));
}

}  // namespace Hue
