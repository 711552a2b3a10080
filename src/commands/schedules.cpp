#include "commands/schedules.hpp"

#include <iostream>
#include <stdexcept>
#include <string>

#include "commands/bridge_selection.hpp"
#include "commands/json_option.hpp"
#include "commands/output.hpp"
#include "commands/printout_builder.hpp"
#include "commands/render.hpp"
#include "hue/bridge.hpp"
#include "hue/schedules.hpp"

namespace commands {

namespace po = boost::program_options;

void run_schedules_command(const po::variables_map& options, const Settings& settings,
                           const AppIdentity& computed) {
    const Output output(std::cout, std::cerr, wants_json(options));
    const auto [bridge, identity] = select_target(options, settings, computed);
    const Hue::Schedules schedules = bridge.get_schedules(settings.client, identity).get();
    read_items_given_by_name(schedules);
    render(output, schedules_printout(schedules));
}

void run_schedule_command(const po::variables_map& options, const Settings& settings,
                          const AppIdentity& computed) {
    const Output output(std::cout, std::cerr, wants_json(options));
    if (!options.count("id")) {
        throw UsageError("Error: required option 'id' is missing.  Try glowrig schedule -help");
    }
    const std::string id = options["id"].as<std::string>();
    const auto [bridge, identity] = select_target(options, settings, computed);
    Hue::Schedules schedules = bridge.get_schedules(settings.client, identity).get();

    if (id == "new") {
        // Creating is not offered; the command still goes on, with "new" as the id.
        if (!output.json()) output.out() << "Schedule creation not supported yet." << std::endl;
    }
    if (options.count("delete") != 0) {
        schedules.remove(id).get();
        render(output, ChangePrintout{std::string(), "deleted", id});
        return;
    }
    Hue::Schedule schedule = find_item(schedules, id, "schedule");
    if (!schedule.whole()) schedule.refresh().get();  // old firmware: the listing named it only
    if (options.count("name") != 0) schedule.set_name(options["name"].as<std::string>());
    if (options.count("desc") != 0) schedule.set_description(options["desc"].as<std::string>());
    schedule.set_command(std::string());
    schedule.save().get();
    schedule.refresh().get();
    render(output, SchedulesPrintout{{schedule_printout(schedule)}});
}

}  // namespace commands
