#include "cli/command_table.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/command_line.hpp"
#include "cli/help.hpp"
#include "commands/usage_error.hpp"

namespace Cli {
namespace {

// Reads `args` as the entry does and prepares the command they name.
PreparedCommand prepare(const std::vector<std::string>& args) {
    const Command* command = find_command(args.front());
    return command->prepare(read_options(read_words(args), *command));
}

// Values out of their range or not among their words, missing ids and
// bridges named by neither an address nor an id are refused before anything
// is sent; values at their bounds pass.
TEST(CommandTable, ChecksEveryOptionBeforeTheCommandRuns) {
    const struct {
        std::vector<std::string> args;
        const char* refusal;  // empty: accepted
    } cases[] = {
        {{"light", "--bri=1"}, "Error: required option 'id' is missing.  Try glowrig light -help"},
        {{"light", "--bri=300"},
         "Error: required option 'id' is missing.  Try glowrig light -help"},
        {{"group", "--name=x"}, "Error: required option 'id' is missing.  Try glowrig group -help"},
        {{"schedule", "--delete"},
         "Error: required option 'id' is missing.  Try glowrig schedule -help"},
        {{"light", "--id=3", "--bri=300"}, "Error: option 'bri' must be between 0 and 255."},
        {{"light", "--id=3", "--bri=-1"}, ""},  // one step down
        {{"light", "--id=3", "--ct=+20", "--bri=40%", "--on"}, ""},
        {{"group", "--id=1", "--kelvin=2700K"}, ""},
        {{"light", "--id=3", "--sat=256"}, "Error: option 'sat' must be between 0 and 255."},
        {{"light", "--id=3", "--hue=-1"}, "Error: option 'hue' must be between 0 and 65535."},
        {{"light", "--id=3", "--ct=65536"}, "Error: option 'ct' must be between 0 and 65535."},
        {{"light", "--id=3", "--trans=70000"},
         "Error: option 'trans' must be between 0 and 65535."},
        {{"group", "--id=2", "--bri=256"}, "Error: option 'bri' must be between 0 and 255."},
        {{"group", "--id=new", "--name=x", "-l=1", "--hue=65536"},
         "Error: option 'hue' must be between 0 and 65535."},
        {{"light", "--id=3", "--alert=blink"},
         "Error: option 'alert' must be none, select or lselect."},
        {{"group", "--id=2", "--alert=flash"},
         "Error: option 'alert' must be none, select or lselect."},
        // Effect names are the light's own: the bridge's answer decides them.
        {{"light", "--id=3", "--effect=ColorLoop"}, ""},
        {{"light", "--id=3", "--sunrise=1h30m", "--signal=alternating",
          "--signal-colors=red,rgb(0,0,255)"},
         ""},
        {{"light", "--id=3", "--sunset=6h1s"},
         "Error: option 'sunset' must be a duration of 1s to 6h, e.g. 90s, 30m, 1h30m or 600 "
         "(seconds)."},
        {{"light", "--id=3", "--sunrise=30m1h"},
         "Error: option 'sunrise' must be a duration of 1s to 6h, e.g. 90s, 30m, 1h30m or 600 "
         "(seconds)."},
        {{"light", "--id=3", "--sunrise=0"},
         "Error: option 'sunrise' must be a duration of 1s to 6h, e.g. 90s, 30m, 1h30m or 600 "
         "(seconds)."},
        {{"light", "--id=3", "--sunrise=10m", "--sunset=10m"},
         "Error: give one of --sunrise and --sunset."},
        {{"light", "--id=3", "--gradient=rgb(1,2,3)"},
         "Error: option --gradient takes two colours or more."},
        {{"light", "--id=3", "--signal=on_off_color"},
         "Error: --signal=on_off_color takes one colour in --signal-colors."},
        {{"light", "--id=3", "--signal=on_off", "--signal-colors=red"},
         "Error: --signal=on_off takes no colours in --signal-colors."},
        {{"light", "--id=3", "--signal-for=5"},
         "Error: options --signal-colors and --signal-for go with --signal."},
        {{"light", "--id=3", "--signal=on_off", "--signal-for=0"},
         "Error: option 'signal-for' must be between 1 and 65534."},
        {{"group", "--id=1", "--gradient=red,blue"},
         "Error: --gradient is for lights one by one; a group or all lights take --signal only."},
        {{"light", "--id=all", "--effect=candle"},
         "Error: --effect=candle is for lights one by one; a group or all lights take --signal "
         "only."},
        {{"group", "--id=new", "--name=x", "-l=1", "--signal=on_off"},
         "Error: --signal changes a group that exists."},
        {{"group", "--id=new", "--name=Den"},
         "When creating a new group, you must specify name and one or more lights."},
        {{"group", "--id=new", "-l=1"},
         "When creating a new group, you must specify name and one or more lights."},
        {{"lights", "--bridge=bridge.local"},
         "Error: option 'bridge' must be an address or a bridge id."},
        {{"light", "--id=3", "--bri=255", "--sat=0", "--hue=65535", "--ct=0", "--trans=65535",
          "--alert=lselect", "--effect=colorloop", "--on"},
         ""},
        // The colour options in human terms: each way of giving a colour
        // excludes the others, a toggle excludes on and off.
        {{"light", "--id=3", "--color=red", "--xy=0.3,0.3"},
         "Error: options --color and --xy exclude each other."},
        {{"light", "--id=3", "--sat=5", "--color=red"},
         "Error: options --color and --sat exclude each other."},
        {{"group", "--id=1", "--xy=0.3,0.3", "--hue=5"},
         "Error: options --xy and --hue exclude each other."},
        {{"light", "--id=3", "--kelvin=2700", "--ct=300"},
         "Error: options --kelvin and --ct exclude each other."},
        {{"group", "--id=1", "--hue=5", "--ct=300", "--kelvin=2700"},
         "Error: options --hue and --kelvin exclude each other."},
        {{"light", "--id=3", "--color=red", "--kelvin=2700"},
         "Error: options --color and --kelvin exclude each other."},
        {{"light", "--id=3", "--toggle", "--on"},
         "Error: options --toggle and --on exclude each other."},
        {{"group", "--id=1", "--off", "--toggle"},
         "Error: options --toggle and --off exclude each other."},
        {{"light", "--id=3", "--on", "--off"}, "Error: options --on and --off exclude each other."},
        {{"group", "--id=1", "--off", "--on"}, "Error: options --on and --off exclude each other."},
        {{"light", "--id=all", "--name=x"},
         "Error: --name renames one light; give --id one light."},
        {{"light", "--id=3", "--kelvin=999"},
         "Error: option 'kelvin' must be between 1000 and 10000."},
        {{"group", "--id=1", "--kelvin=10001"},
         "Error: option 'kelvin' must be between 1000 and 10000."},
        {{"light", "--id=3", "--color=bluish"},
         "Error: option 'color' must be #rrggbb, rrggbb, rgb(R,G,B) or a color name."},
        {{"group", "--id=1", "--color=rgb(0,0,256)"},
         "Error: option 'color' must be #rrggbb, rrggbb, rgb(R,G,B) or a color name."},
        {{"light", "--id=3", "--color=Black"},
         "Error: black is no color; turn lights off with --off."},
        {{"group", "--id=1", "--color=#000000"},
         "Error: black is no color; turn lights off with --off."},
        {{"light", "--id=3", "--xy=0.3"},
         "Error: option 'xy' must be two numbers 0-1, as --xy=0.3127,0.329."},
        {{"light", "--id=3", "--xy=0.3,1.2"},
         "Error: option 'xy' must be two numbers 0-1, as --xy=0.3127,0.329."},
        {{"light", "--id=3", "--xy=-0.1,0.3"},
         "Error: option 'xy' must be two numbers 0-1, as --xy=0.3127,0.329."},
        {{"light", "--id=3", "--xy=0.3,0.3,0.3"},
         "Error: option 'xy' must be two numbers 0-1, as --xy=0.3127,0.329."},
        {{"light", "--id=3", "--hue=5", "--sat=9", "--bri=1", "--toggle"}, ""},
        {{"light", "--id=3", "--kelvin=1000"}, ""},
        {{"group", "--id=1", "--kelvin=10000", "--bri=3"}, ""},
        {{"light", "--id=3", "--xy=1,.5"}, ""},
        {{"light", "--id=3", "--color=rgb(255,165,0)"}, ""},
        {{"group", "--id=new", "--name=Den", "-l=1", "-l=3"}, ""},
        {{"config", "--bridge=ECB5FAFFFE0A62C3", "--deauth=x"}, ""},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const auto& arg : c.args) line += arg + " ";
        SCOPED_TRACE(line);
        try {
            prepare(c.args);
            EXPECT_EQ("", std::string(c.refusal));
        } catch (const Commands::UsageError& e) {
            EXPECT_EQ(c.refusal, std::string(e.what()));
        }
    }
}

}  // namespace
}  // namespace Cli
