#include "commands/schedules.hpp"

#include <iostream>
#include <stdexcept>
#include <string>

#include "access/bridge_selection.hpp"
#include "commands/bridge_error_advice.hpp"
#include "commands/brief_printouts.hpp"
#include "commands/items.hpp"
#include "commands/output.hpp"
#include "commands/printout_builder.hpp"
#include "commands/render.hpp"
#include "commands/usage_error.hpp"
#include "hue/bridge.hpp"
#include "hue/schedules.hpp"

namespace Commands {

void run_schedules_command(const BriefListingOptions& options, const Settings& settings,
                           const Access::Target& target, const Output& output) {
    const Hue::Schedules schedules = target.bridge.get_schedules(settings.client, target.identity);
    read_items_given_by_name(schedules);
    if (options.brief && !output.json()) {
        print_brief(output.out(), schedules_brief(schedules_printout(schedules)));
        return;
    }
    render(output, schedules_printout(schedules));
}

void check_schedule_options(const ScheduleOptions& options) {
    if (options.enable && options.disable) {
        throw UsageError("Error: options --enable and --disable exclude each other.");
    }
}

void run_schedule_command(const ScheduleOptions& options, const Settings& settings,
                          const Access::Target& target, const Output& output) {
    Hue::Schedules schedules = target.bridge.get_schedules(settings.client, target.identity);

    const bool is_new = options.id == "new";
    if (is_new) {
        // Creating is not offered; the command still goes on, with "new" as the id.
        output.note("Schedule creation not supported yet.");
    }
    if (options.remove) {
        const std::string id =
            is_new ? options.id : id_to_delete(schedules, options.id, "schedule");
        remove_with_advice("schedule", id, [&] { schedules.remove(id); });
        render(output, ChangePrintout{std::string(), "deleted", id});
        return;
    }
    const std::string id = is_new ? options.id : id_named(schedules, options.id, "schedule");
    Hue::Schedule schedule = find_item(schedules, id, "schedule");
    if (!schedule.whole()) schedule.refresh();  // old firmware: the listing named it only
    // Only what the command line changes is sent, in one request: a time
    // written back would start a timer again.
    if (options.name || options.description || options.enable || options.disable) {
        if (options.name) schedule.set_name(*options.name);
        if (options.description) schedule.set_description(*options.description);
        if (options.enable || options.disable) {
            schedule.set_status(options.enable ? "enabled" : "disabled");
        }
        schedule.save();
        schedule.refresh();
    }
    render(output, SchedulesPrintout{{schedule_printout(schedule)}});
}

}  // namespace Commands
