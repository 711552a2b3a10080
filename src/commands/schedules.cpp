#include "commands/schedules.hpp"

#include <iostream>
#include <stdexcept>
#include <string>

#include "commands/bridge_selection.hpp"
#include "commands/items.hpp"
#include "commands/json_output.hpp"
#include "commands/printable.hpp"
#include "hue/bridge.hpp"
#include "hue/schedules.hpp"

namespace commands {

void run_schedules_command(const ListingOptions&, const Settings& settings, const Target& target,
                           const Output& output) {
    const Hue::Schedules schedules =
        target.bridge.get_schedules(settings.client, target.identity).get();
    read_items_given_by_name(schedules);
    print_schedules(output, schedules);
}

void run_schedule_command(const ScheduleOptions& options, const Settings& settings,
                          const Target& target, const Output& output) {
    const std::string& id = options.id;
    Hue::Schedules schedules = target.bridge.get_schedules(settings.client, target.identity).get();

    if (id == "new") {
        // Creating is not offered; the command still goes on, with "new" as the id.
        if (!output.json()) output.out() << "Schedule creation not supported yet." << std::endl;
    }
    if (options.remove) {
        schedules.remove(id).get();
        print_result(output, std::string(), "deleted", id);
        return;
    }
    Hue::Schedule schedule = find_item(schedules, id, "schedule");
    if (!schedule.whole()) schedule.refresh().get();  // old firmware: the listing named it only
    if (options.name) schedule.set_name(*options.name);
    if (options.description) schedule.set_description(*options.description);
    schedule.set_command(std::string());
    schedule.save().get();
    schedule.refresh().get();
    Hue::Schedules changed;
    changed.add(schedule);
    print_schedules(output, changed);
}

void print_schedules(const Output& output, const Hue::Schedules& schedules) {
    print_listing(output, "schedules", schedules, schedules_json, print_schedules);
}

web::json::value schedules_json(const Hue::Schedules& schedules) {
    using web::json::value;
    value list = value::array();
    std::size_t index = 0;
    for (const Hue::Schedule& schedule : schedules) {
        const Hue::ScheduleTime time = schedule.time();
        value object = value::object();
        object["id"] = value::string(schedule.id());
        object["name"] = value::string(schedule.name());
        object["time"] = time.kind == Hue::ScheduleTimeKind::none
                             ? value::null()
                             : value::string(time.format_time());
        object["description"] = value::string(schedule.description());
        object["command"] = value::string(schedule.command());
        list[index++] = object;
    }
    return list;
}

void print_schedules(const Hue::Schedules& schedules) {
    std::cout << "Schedules:" << std::endl;
    for (const Hue::Schedule& schedule : schedules) {
        const Hue::ScheduleTime time = schedule.time();
        std::cout << std::endl;
        std::cout << "  Id:                      " << printable(schedule.id()) << std::endl;
        std::cout << "  Name:                    " << printable(schedule.name()) << std::endl;
        std::cout << "  Time:                    "
                  << printable(time.kind == Hue::ScheduleTimeKind::none ? std::string()
                                                                        : time.format_time())
                  << std::endl;
        std::cout << "  Description:             " << std::endl;
        std::cout << "    " << printable(schedule.description()) << std::endl;
        std::cout << std::endl;
        std::cout << "  Command:                  " << std::endl;
        std::cout << "    " << printable(schedule.command()) << std::endl;
    }
}

}  // namespace commands
