#include "commands/schedules.hpp"

#include <chrono>
#include <iostream>
#include <string>
#include <thread>

#include "discovery/selection.hpp"
#include "hue/bridge.hpp"
#include "hue/schedules.hpp"

namespace commands {

namespace po = boost::program_options;

namespace {

// The pause before each re-read of a listed schedule, so as not to flood the bridge.
constexpr std::chrono::milliseconds kPauseBeforeRefresh(100);

}  // namespace

void run_schedules_command(const po::variables_map& options, const web::web_proxy& proxy,
                           const AppIdentity& identity) {
    const Hue::Bridge bridge = discovery::select_bridge(options, proxy).get();
    Hue::Schedules schedules = bridge.get_schedules(proxy, identity).get();
    for (Hue::Schedule& schedule : schedules) {
        std::this_thread::sleep_for(kPauseBeforeRefresh);
        schedule.refresh().get();
    }
    print_schedules(schedules);
}

void run_schedule_command(const po::variables_map& options, const web::web_proxy& proxy,
                          const AppIdentity& identity) {
    // Without "id" this throws boost::bad_any_cast, before anything is sent.
    const std::wstring id = options["id"].as<std::wstring>();
    const Hue::Bridge bridge = discovery::select_bridge(options, proxy).get();
    Hue::Schedules schedules = bridge.get_schedules(proxy, identity).get();

    if (id == L"new") {
        // Creating is not offered; the command still goes on, with "new" as the id.
        std::wcout << L"Schedule creation not supported yet." << std::endl;
    }
    if (options.count("delete") != 0) {
        schedules.remove(id).get();
        return;
    }

    Hue::Schedules changed;
    for (Hue::Schedule& schedule : schedules) {
        if (schedule.id() != id) continue;
        schedule.refresh().get();
        if (options.count("name") != 0) schedule.set_name(options["name"].as<std::wstring>());
        if (options.count("desc") != 0) {
            schedule.set_description(options["desc"].as<std::wstring>());
        }
        schedule.set_command(std::wstring());
        schedule.save().get();
        schedule.refresh().get();
        changed.add(schedule);
    }
    print_schedules(changed);
}

void print_schedules(const Hue::Schedules& schedules) {
    std::wcout << L"Schedules:" << std::endl;
    for (const Hue::Schedule& schedule : schedules) {
        const Hue::ScheduleTime time = schedule.time();
        std::wcout << std::endl;
        std::wcout << L"  Id:                      " << schedule.id() << std::endl;
        std::wcout << L"  Name:                    " << schedule.name() << std::endl;
        std::wcout << L"  Time:                    "
                   << (time.kind == Hue::ScheduleTimeKind::none ? std::wstring()
                                                                : time.format_time())
                   << std::endl;
        std::wcout << L"  Description:             " << std::endl;
        std::wcout << L"    " << schedule.description() << std::endl;
        std::wcout << std::endl;
        std::wcout << L"  Command:                  " << std::endl;
        std::wcout << L"    " << schedule.command() << std::endl;
    }
}

}  // namespace commands
