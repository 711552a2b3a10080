#include "cli/help.hpp"

#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "support/process.hpp"

namespace Cli {
namespace {

// Every command's help as the table makes it, against the printouts users
// know (the files hold the entry's leading empty line).
TEST(Help, ListsEachCommandsOptionsAsAlways) {
    const struct {
        const char* word;
        const char* file;
    } cases[] = {
        {nullptr, "help_general.txt"},     {"bridges", "help_bridges.txt"},
        {"config", "help_config.txt"},     {"lights", "help_lights.txt"},
        {"light", "help_light.txt"},       {"groups", "help_groups.txt"},
        {"group", "help_group.txt"},       {"schedules", "help_schedules.txt"},
        {"schedule", "help_schedule.txt"}, {"scenes", "help_scenes.txt"},
        {"scene", "help_scene.txt"},       {"sensors", "help_sensors.txt"},
        {"sensor", "help_sensor.txt"},     {"state", "help_state.txt"},
        {"watch", "help_watch.txt"},       {"devices", "help_devices.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::ostringstream out;
        print_help(out, c.word ? find_command(c.word) : nullptr);
        EXPECT_EQ(TestingSupport::read_test_data(c.file).substr(1), out.str());
    }
}

}  // namespace
}  // namespace Cli
