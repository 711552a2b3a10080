#ifndef GLOWRIG_HUE_DETAILS_SCHEDULE_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_SCHEDULE_IMPL_HPP_

#include <string>

#include "hue/details/resource_impl.hpp"
#include "hue/schedule_time.hpp"

namespace Hue {
namespace details {

// The shared state behind Hue::Schedule: what the bridge last reported about
// the schedule, changed in place by the setters.
class Schedule_Impl : public Resource_Impl {
public:
    using Resource_Impl::Resource_Impl;

    const std::string& name() const { return m_name; }
    const std::string& description() const { return m_description; }
    const std::string& command() const { return m_command; }
    const ScheduleTime& time() const { return m_time; }
    const std::string& status() const { return m_status; }
    // Whether an object read so far held both "command" and "time".
    bool whole() const { return m_whole; }

    // Each marks its field to be sent by the next save.
    void set_name(const std::string& name) {
        m_name = name;
        m_changed |= kName;
    }
    void set_description(const std::string& description) {
        m_description = description;
        m_changed |= kDescription;
    }
    void set_command(const std::string& command) { m_command = command; }
    void set_status(const std::string& status) {
        m_status = status;
        m_changed |= kStatus;
    }

    // Reads a schedule object: "name", "description", "time" (through
    // ScheduleTime::parse_time), "command" (kept as its serialised JSON
    // text) and "status", in that order; an absent key leaves its field
    // unchanged (an object holding both "time" and "command" makes the
    // schedule whole), and an array (an error array) changes nothing. An
    // object read leaves nothing to send. Throws
    // Json::Error for any other value that is not an object and on a key of
    // the wrong type; the fields read before it keep their new values.
    void read(const Json::Value& schedule);
    // The members read() reads.
    static constexpr std::string_view kRead[] = {"name", "description", "time", "command",
                                                 "status"};

    // The body Schedule::save() sends: "name", "description" and "status" when
    // set since the last read, never the time (written to a timer, it would
    // start the timer again) nor the command; null when none was set.
    Json::Value save_body() const;

private:
    enum : unsigned { kName = 1, kDescription = 2, kStatus = 4 };

    std::string m_name;
    std::string m_description;
    std::string m_command;
    ScheduleTime m_time;
    std::string m_status;
    bool m_whole = false;
    unsigned m_changed = 0;  // the fields set since the last read
};

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_SCHEDULE_IMPL_HPP_
