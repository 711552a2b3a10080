#ifndef GLOWRIG_HUE_DETAILS_SCHEDULE_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_SCHEDULE_IMPL_HPP_

#include <memory>
#include <string>

#include <cpprest/json.h>
#include <pplx/pplxtasks.h>

#include "hue/client.hpp"
#include "hue/schedule_time.hpp"

namespace Hue {
namespace details {

// The shared state behind Hue::Schedule: the client of the bridge's schedules
// resource, the schedule's id and what the bridge last reported about it.
// Not synchronised: one operation at a time.
class Schedule_Impl : public std::enable_shared_from_this<Schedule_Impl> {
public:
    // A schedule with `id` and every other field at its initial value.
    Schedule_Impl(Client client, std::string id);

    Schedule_Impl(const Schedule_Impl&) = delete;
    Schedule_Impl& operator=(const Schedule_Impl&) = delete;

    const std::string& id() const { return m_id; }
    const std::string& name() const { return m_name; }
    const std::string& description() const { return m_description; }
    const std::string& command() const { return m_command; }
    const ScheduleTime& time() const { return m_time; }

    void set_name(const std::string& name) { m_name = name; }
    void set_description(const std::string& description) { m_description = description; }
    void set_command(const std::string& command) { m_command = command; }
    void set_time(const ScheduleTime& time) { m_time = time; }

    // Reads a schedule object: "name", "description", "time" (through
    // ScheduleTime::parse_time) and "command" (kept as its serialised JSON
    // text), in that order; an absent key leaves its field unchanged, and a
    // value that is not an object changes nothing. Throws
    // web::json::json_exception on a key of the wrong type; the fields read
    // before it keep their new values.
    void read(const web::json::value& schedule);

    // The body save() sends: "name" when not empty, "time" when its kind is
    // not none, "description" when not empty; null when none of them applies.
    web::json::value save_body() const;

    // See Hue::Schedule::refresh. REQUIRES: owned by a std::shared_ptr.
    pplx::task<void> refresh();

    // See Hue::Schedule::save.
    pplx::task<void> save() const;

private:
    // The id as one path segment, relative to the schedules resource.
    std::string path() const;

    const Client m_client;
    const std::string m_id;
    std::string m_name;
    std::string m_description;
    std::string m_command;
    ScheduleTime m_time;
};

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_SCHEDULE_IMPL_HPP_
