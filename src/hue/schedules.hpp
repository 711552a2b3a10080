#ifndef GLOWRIG_HUE_SCHEDULES_HPP_
#define GLOWRIG_HUE_SCHEDULES_HPP_

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "hue/client.hpp"
#include "hue/item_list.hpp"
#include "hue/schedule_time.hpp"
#include "json/value_fwd.hpp"

namespace Hue {

namespace details {
class Schedule_Impl;
}  // namespace details

// One schedule of a bridge, as the bridge last reported it. Copies share one
// state: a change made through one copy is seen by all. The setters change
// only the local copy; save() sends it. Not safe for concurrent use.
class Schedule {
public:
    // REQUIRES: impl is not null.
    explicit Schedule(std::shared_ptr<details::Schedule_Impl> impl);

    // The id the bridge lists the schedule under; never changes.
    std::string id() const;
    std::string name() const;
    std::string description() const;
    // The serialised JSON text of the schedule's command; empty when none was read.
    std::string command() const;
    // The time as read; kind none when the bridge reported none.
    ScheduleTime time() const;
    // "enabled" or "disabled" as the bridge reported it; empty when it reported
    // no "status" (old firmware).
    std::string status() const;

    // True once an object read into this schedule held its "command" and
    // "time": the schedule is known whole (a listing of current firmware
    // gives every schedule so) and need not be read again before it is
    // changed or printed. False while only its name is known, as from old
    // firmware.
    bool whole() const;

    void set_name(const std::string& name);
    void set_description(const std::string& description);
    void set_command(const std::string& command);
    // "enabled" or "disabled": whether the bridge runs the schedule.
    void set_status(const std::string& status);

    // Sends GET {id} and reads the reply into the schedule; keys the reply
    // lacks leave their fields unchanged. Error replies are not rejected: an
    // error array carries none of the keys, so the schedule stays as it was
    // and the refresh succeeds. Fails with Http::Failure on a status other
    // than 200, with Json::ParseError on a body that is not JSON and with
    // Json::Error on a key of the wrong type (fields read before it keep their
    // values).
    void refresh();

    // Sends PUT {id} with "name", "description" and "status" when set since
    // the schedule was last read; the time and the command are never sent (a
    // time written to a timer starts it again). With none, nothing is
    // sent. Fails with Http::Failure on a status other
    // than 200 and with Hue::BridgeError (the error element's text) on an
    // error reply.
    void save();

private:
    std::shared_ptr<details::Schedule_Impl> m_impl;
};

// The schedules of one bridge, in the order the bridge's listing yields them,
// together with a copy of the client of the bridge's schedules resource.
// A default-constructed one holds the placeholder client and only gathers
// schedules for printing.
class Schedules : public ItemList<Schedule> {
public:
    using ItemList<Schedule>::ItemList;

    // Returns the schedules of `listing`, an object keyed by schedule id, in
    // key order, each holding a copy of `client`. Throws Json::Error when
    // `listing` or one of its members is not an object, and when a member has
    // a key of the wrong type.
    static Schedules from_json(const Client& client, const Json::Value& listing);

    // Sends DELETE {id}, whether or not the collection holds that id, and
    // returns when the bridge has confirmed it. The collection is not
    // changed. Fails as Schedule::save() does.
    void remove(const std::string& id) const;
};

}  // namespace Hue

#endif  // GLOWRIG_HUE_SCHEDULES_HPP_
