#include "commands/brief_printouts.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/sim_fixture.hpp"

namespace {

// Lights in each colour mode, one without colour, one unreachable and off,
// one with a long name; a room, a zone and a plain group; schedules of each
// time form and one the reader cannot read; two scenes.
const std::string kFixture = TestingSupport::read_test_data("brief_fixture.json");

class BriefListing : public TestingSupport::SimFixture {
protected:
    void SetUp() override { start(kFixture); }
};

// Each listing's brief form: its whole printout (no empty line first) and the
// requests, the lights listing read where member names are shown.
TEST_F(BriefListing, PrintsOneAlignedLinePerItem) {
    const struct {
        const char* word;
        std::vector<std::string> requests;
        const char* printout;
    } cases[] = {
        {"lights",
         {"GET /api/{user}/lights"},
         "ID  NAME                      POWER  BRIGHTNESS  COLOUR          REACHABLE    TYPE\n"
         "1   Hall                      on     100%        gold #ffee36                 Extended "
         "color light\n"
         "2   Porch                     off    1%          orange #ffa500  unreachable  Extended "
         "color light\n"
         "3   Desk                      on     79%         2700 K                       Color "
         "temperature light\n"
         "4   Kitchen ceiling above t…  on     25%         -                            Dimmable "
         "light\n"
         "5   Plug                      off    -           -                            On/Off "
         "plug-in unit\n"},
        {"groups",
         {"GET /api/{user}/groups", "GET /api/{user}/lights"},
         "ID  NAME        TYPE        CLASS    LIGHTS    POWER\n"
         "1   Kitchen     Room        Kitchen  2 lights  all on\n"
         "2   Downstairs  Zone        Other    5 lights  some on\n"
         "3   Outside     LightGroup  -        Porch     off\n"},
        {"schedules",
         {"GET /api/{user}/schedules"},
         "ID  NAME       STATUS    WHEN                                ACTION\n"
         "1   Wake up    enabled   weekdays 06:30                      group 0: bri=254 on=true\n"
         "2   Night      disabled  every day at 22:00 random 00:05:00  group 0: on=false\n"
         "3   Tea        enabled   in 00:30:00                         light 3: alert=select\n"
         "4   Christmas  enabled   once 2014-12-24 18:00               POST /scenes\n"
         "5   Pulse      enabled   5 times every 00:10:00              -\n"
         "6   Odd        enabled   PT10:00                             -\n"
         "7   Weekend    -         weekends 10:00:05                   -\n"
         "8   Some days  -         Mon,Wed,Sat 07:00                   -\n"},
        {"scenes",
         {"GET /api/{user}/scenes", "GET /api/{user}/lights"},
         "ID  NAME     GROUP  LIGHTS             UPDATED\n"
         "a1  Evening  -      Hall, Porch, Desk  2014-05-01 07:00\n"
         "g1  Cooking  1      Desk, 9            -\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        bridge().clear_requests();
        const auto result = run({c.word, "--brief"});
        EXPECT_EQ(c.printout, result.output);
        EXPECT_EQ(0, result.status);
        EXPECT_EQ(expanded(c.requests), request_lines());
        // --json wins and prints the usual document.
        EXPECT_EQ(run({c.word, "--json"}).output, run({c.word, "--brief", "--json"}).output);
    }
}

// The swatches come with forced colour alone: never in a pipe, with
// NO_COLOR or with --json.
TEST_F(BriefListing, SwatchesInTheLightsOwnColoursWhenColourIsOn) {
    const TestingSupport::Environment forced = {{"CLICOLOR_FORCE", "1"}, {"NO_COLOR", ""}};
    const auto result = run({"lights", "--brief"}, forced);
    EXPECT_EQ(
        std::string("ID  NAME                      POWER  BRIGHTNESS  COLOUR             "
                    "REACHABLE    TYPE\n") +
            "1   Hall                      on     100%        \x1b[38;2;255;238;54m██\x1b[0m "
            "gold #ffee36                 Extended color light\n"
            "2   Porch                     off    1%          \x1b[38;2;96;96;96m██\x1b[0m "
            "orange #ffa500  unreachable  Extended color light\n"
            "3   Desk                      on     79%         \x1b[38;2;214;145;75m██\x1b[0m 2700 "
            "K                       Color temperature light\n"
            "4   Kitchen ceiling above t…  on     25%         \x1b[38;2;112;112;112m██\x1b[0m -    "
            "                        Dimmable light\n"
            "5   Plug                      off    -           \x1b[38;2;96;96;96m██\x1b[0m - "
            "                           On/Off plug-in unit\n",
        result.output);
    for (const TestingSupport::Environment& plain :
         {TestingSupport::Environment{{"NO_COLOR", ""}},
          TestingSupport::Environment{{"CLICOLOR_FORCE", "1"}, {"NO_COLOR", "1"}}}) {
        EXPECT_EQ(std::string::npos, run({"lights", "--brief"}, plain).output.find('\x1b'));
    }
    EXPECT_EQ(run({"lights", "--json"}).output,
              run({"lights", "--brief", "--json"}, forced).output);
}

}  // namespace
