// Hostile or careless command lines: empty option values, text that is not
// ASCII (or not UTF-8), ids that look like paths (each goes into a request
// path as one encoded segment) and integers outside their field's range.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "faults/fault_table.hpp"
#include "support/process.hpp"
#include "support/sim_fixture.hpp"

namespace Faults {
namespace {

using TestingSupport::RunResult;

// Lights, groups, schedules and whitelist entries with ids that are not
// plain numbers.
constexpr const char* kFixture = R"({"state": {
  "config": {"name": "Bridge", "UTC": "2014-05-01T07:00:00",
             "whitelist": {"../lights": {"last use date": "2014-05-01T07:00:00",
                                         "create date": "2014-04-01T06:00:00", "name": "x"}}},
  "lights": {"1": {"name": "Hall", "modelid": "CL-100", "swversion": "1",
                   "state": {"on": true, "bri": 100, "ct": 300, "alert": "none",
                             "effect": "none", "colormode": "ct", "reachable": true}},
             "a/b": {"name": "Porch", "modelid": "DL-100", "swversion": "1",
                     "state": {"on": false, "bri": 1, "alert": "none", "effect": "none",
                               "colormode": "ct", "ct": 153, "reachable": true}}},
  "groups": {"1": {"name": "Room", "lights": ["1"], "action": {"on": true}},
             "K\u00fcche": {"name": "K\u00fcche", "lights": ["1"], "action": {"on": true}}},
  "schedules": {"1": {"name": "Wake", "time": "2014-05-01T07:00:00"},
                "\u65e5\u672c": {"name": "\u671d", "time": "2014-05-01T07:00:00"}}}})";

// The general help, printed for a command line the first stage cannot read,
// and the line that says why.
std::string general_help(const std::string& why) {
    return TestingSupport::read_test_data("help_general.txt").substr(1) + "Error: " + why + "\n";
}

// Why the first stage cannot read `option`, given as "--name=".
std::string empty_value(const std::string& option) {
    return "the argument for option '" + option.substr(0, option.size() - 1) +
           "' should follow immediately after the equal sign.";
}

// Light "a/b" as printed, with its colour mode lines.
std::string light_printout(const std::string& name, const std::string& mode,
                           const std::string& bri) {
    return "Lights:\n\n  Id:                      a/b\n  Name:                    " + name +
           "\n  ModelId:                 DL-100\n  SwVersion:               1\n  State:        \n"
           "    Reachable:             1\n    On:                    0\n"
           "    Alert:                 none\n    Effect:                none\n" +
           mode + "    Brightness:            " + bri + "\n";
}

// The configuration printout of the fixture's bridge once "../lights" has left its whitelist.
std::string configuration_printout() {
    return "Configuration:\n\n  Name:                    Bridge\n  LinkButton:              0\n\n"
           "  Proxy:                   /\n  Ip:                      \n  Mac:                     "
           "\n"
           "  NetMask:                 \n  Gateway:                 \n"
           "  Dhcp:                    0\n  PortalServices:          0\n\n"
           "  Utc:                     Thu May  1 07:00:00 2014 UTC\n\n"
           "  SWVersion:               \n  Firmware:\n    UpdateState:           0\n"
           "    Notify:                0\n    Url:                   \n  \n    Description:\n\n\n"
           "  Whitelist:        \n\n    {user}\n      Name:                glowrig\n"
           "      CreationDate:        Tue Apr  1 06:00:00 2014 UTC\n"
           "      LastUseDate:         Thu May  1 07:00:00 2014 UTC\n";
}

struct CommandLineCase {
    const char* what;
    std::vector<std::string> args;  // --bridge={ip} is appended
    std::string output;
    int status;
    std::vector<std::string> requests;
    bool plain = false;       // run without --bridge={ip}
    std::string errors = {};  // on standard error
};

// Every option of a command given with "=" and nothing after it. The first
// stage of parsing cannot read such a line: glowrig prints the general help,
// sends nothing and ends with status 2, as for any unreadable command line.
struct EmptyValues {
    const char* what;
    std::vector<std::string> before;  // the words before the empty option
    std::vector<std::string> options;
};

std::vector<EmptyValues> empty_value_cases() {
    return {
        {"Empty value of a config option",
         {"config"},
         {"--deauth=", "--auth=", "--updatefw=", "--bridge="}},
        {"Empty value of a lights option", {"lights"}, {"--find=", "--bridge="}},
        {"Empty value of a light option",
         {"light", "--id=1"},
         {"--id=", "--name=", "--on=", "--off=", "--bri=", "--ct=", "--hue=", "--sat=", "--alert=",
          "--effect=", "--trans=", "--bridge="}},
        {"Empty value of a group option",
         {"group", "--id=1"},
         {"--id=", "--name=", "--delete=", "--on=", "--bri=", "--trans=", "--bridge="}},
        {"Empty value of a schedule option",
         {"schedule", "--id=1"},
         {"--id=", "--name=", "--desc=", "--delete=", "--bridge="}},
        {"Empty value of a listing's option", {"groups"}, {"--bridge="}},
    };
}

std::vector<CommandLineCase> cases() {
    return {
        {"Empty light id of a group",
         {"group", "--id=1", "-l="},
         "the argument for option '--l=' should follow immediately after the equal sign\n",
         2,
         {}},
        {"Option value given as the next word",
         {"lights", "--bridge"},
         "the required argument for option '--bridge' is missing\n",
         2,
         {},
         true},
        {"Command line not UTF-8",
         {"light", "--id=\xff"},
         "Error: the command line is not valid UTF-8.\n",
         2,
         {}},
        {"Non-ASCII group id",
         {"group",
          "--id=K\xc3\xbc"
          "che",
          "--delete"},
         "Group Deleted.\n",
         0,
         {"GET /api/{user}/groups", "DELETE /api/{user}/groups/K%C3%BCche"}},
        {"Non-ASCII schedule id",
         {"schedule", "--id=\xe6\x97\xa5\xe6\x9c\xac", "--delete"},
         "",
         0,
         {"GET /api/{user}/schedules", "DELETE /api/{user}/schedules/%E6%97%A5%E6%9C%AC"}},
        {"Non-ASCII name",
         {"group", "--id=new",
          "--name=K\xc3\xbc"
          "che2",
          "-l=1"},
         "Group created.\n",
         0,
         {"GET /api/{user}/groups", "GET /api/{user}/lights",
          "POST /api/{user}/groups {\"lights\":[\"1\"],\"name\":\"K\xc3\xbc"
          "che2\"}"}},
        {"Bridge's light id with a slash, non-ASCII name",
         {"light", "--id=a/b",
          "--name=Stra\xc3\x9f"
          "e"},
         light_printout("Stra\xc3\x9f"
                        "e",
                        "    Mode:                  ct\n    ColorTemperature:      153\n", "1"),
         0,
         {"GET /api/{user}/lights",
          "PUT /api/{user}/lights/a%2Fb {\"name\":\"Stra\xc3\x9f"
          "e\"}",
          "GET /api/{user}/lights/a%2Fb"}},
        // A delete of an id that is neither listed nor a number is refused
        // before it is sent; a listed one goes as one encoded path segment.
        {"Id climbing out of its resource",
         {"group", "--id=1/../../config", "--delete"},
         "Error: no group with id or name 1/../../config.\n",
         1,
         {"GET /api/{user}/groups"}},
        {"Id \"..\"",
         {"schedule", "--id=..", "--delete"},
         "Error: no schedule with id or name ...\n",
         1,
         {"GET /api/{user}/schedules"}},
        {"Id with \"?\"",
         {"group", "--id=1?x=1", "--delete"},
         "Error: no group with id or name 1?x=1.\n",
         1,
         {"GET /api/{user}/groups"}},
        {"Id with \"#\"",
         {"schedule", "--id=1#x", "--delete"},
         "Error: no schedule with id or name 1#x.\n",
         1,
         {"GET /api/{user}/schedules"}},
        {"Id with \"%\"",
         {"group", "--id=%31", "--delete"},
         "Error: no group with id or name %31.\n",
         1,
         {"GET /api/{user}/groups"}},
        {"Whitelist id with \"../\"",
         {"config", "--deauth=../lights"},
         "User deleted\n" + configuration_printout(),
         0,
         {"GET /api/{user}/config", "DELETE /api/{user}/config/whitelist/..%2Flights",
          "GET /api/{user}/config"}},
        {"Brightness above 255",
         {"light", "--id=1", "--bri=256"},
         "Error: option 'bri' must be between 0 and 255.\n",
         2,
         {}},
        {"Brightness step beyond the range",
         {"light", "--id=1", "--bri=-255"},
         "Error: option 'bri' must be a whole number 0-255, +N or -N to change it by N (1-254) or "
         "N% (0-100).\n",
         2,
         {}},
        {"Saturation above 255",
         {"group", "--id=1", "--sat=256"},
         "Error: option 'sat' must be between 0 and 255.\n",
         2,
         {}},
        {"Hue above 65535",
         {"light", "--id=1", "--hue=65536"},
         "Error: option 'hue' must be between 0 and 65535.\n",
         2,
         {}},
        {"Smallest int as colour temperature",
         {"group", "--id=1", "--ct=-2147483648"},
         "Error: option 'ct' must be a whole number 0-65535 or +N or -N to change it by N "
         "(1-65534).\n",
         2,
         {}},
        {"Largest int as transition time",
         {"light", "--id=1", "--on", "--trans=2147483647"},
         "Error: option 'trans' must be between 0 and 65535.\n",
         2,
         {}},
        {"Integer wider than int",
         {"light", "--id=1", "--bri=2147483648"},
         "Error: option 'bri' must be between 0 and 255.\n",
         2,
         {}},
        {"Integer of twenty digits",
         {"group", "--id=1", "--hue=99999999999999999999"},
         "Error: option 'hue' must be between 0 and 65535.\n",
         2,
         {}},
        {"Integer written with an exponent",
         {"light", "--id=1", "--bri=1e2"},
         "Error: option 'bri' must be a whole number 0-255, +N or -N to change it by N (1-254) or "
         "N% (0-100).\n",
         2,
         {}},
        {"Schedule command without an id",
         {"schedule", "--delete"},
         "Error: required option 'id' is missing.  Try glowrig schedule -help\n",
         2,
         {}},
        {"Option value given as the next word, the command run",
         {"light", "--id", "1", "--on"},
         general_help(R"("1" is a second command word; attach values with "=" as in --id=1.)"),
         2,
         {}},
        {"Effect that is not a word of its option",
         {"light", "--id=1", "--effect=colourloop"},
         "Error: option 'effect' must be none or colorloop.\n",
         2,
         {}},
        {"Alert that is not a word of its option",
         {"group", "--id=1", "--alert=flash"},
         "Error: option 'alert' must be none, select or lselect.\n",
         2,
         {}},
        {"Bridge named by neither an address nor an id",
         {"lights", "--bridge=bridge.local"},
         "Error: option 'bridge' must be an address or a bridge id.\n",
         2,
         {},
         true},
        {"Light id the bridge does not list",
         {"light", "--id=99", "--on"},
         "Error: no light with id 99.\n",
         1,
         {"GET /api/{user}/lights"}},
        {"Out-of-range value without an id",
         {"light", "--bri=300"},
         "Error: required option 'id' is missing.  Try glowrig light -help\n",
         2,
         {}},
        {"Option the command does not take",
         {"light", "--id=1", "--brightness=50"},
         "Error: unknown option --brightness for light; did you mean --bri?\n",
         2,
         {}},
        {"Option of another command",
         {"lights", "--id=1"},
         "Error: unknown option --id for lights\n",
         2,
         {}},
        {"Bridge named to the bridges command",
         {"bridges", "--bridge=127.0.0.1"},
         "Error: unknown option --bridge for bridges\n",
         2,
         {},
         true},
        {"Option without a name",
         {"lights", "--=3"},
         "Error: unknown option -- for lights\n",
         2,
         {}},
        {"A dash alone", {"lights", "-"}, "Error: unknown option - for lights\n", 2, {}},
        {"The word of the command written as an option",
         {"lights", "--command=x"},
         "Error: unknown option --command for lights\n",
         2,
         {}},
        {"Option of dashes alone",
         {"lights", "---"},
         "Error: unknown option --- for lights\n",
         2,
         {}},
        {"Short option of another command",
         {"light", "--id=1", "--on", "-l=2"},
         "Error: unknown option -l for light\n",
         2,
         {}},
        {"Option written out, of a group",
         {"group", "--id=new", "--name=Hall", "--lights=1"},
         "Error: unknown option --lights for group; did you mean -l?\n",
         2,
         {}},
        {"Option shortened to its first letters",
         {"light", "--id=a/b", "--tr=10", "--bri=7"},
         light_printout("Porch", "    Mode:                  ct\n    ColorTemperature:      153\n",
                        "7"),
         0,
         {"GET /api/{user}/lights",
          R"(PUT /api/{user}/lights/a%2Fb/state {"bri":7,"transitiontime":10})",
          "GET /api/{user}/lights/a%2Fb"}},
        {"Every integer at its upper bound",
         {"light", "--id=a/b", "--bri=255", "--hue=65535", "--sat=255", "--trans=65535"},
         light_printout("Porch",
                        "    Mode:                  hs\n    Hue:                   65535\n"
                        "    Saturation:            255\n",
                        "255"),
         0,
         {"GET /api/{user}/lights",
          R"(PUT /api/{user}/lights/a%2Fb/state {"bri":255,"hue":65535,"sat":255,"transitiontime":65535})",
          "GET /api/{user}/lights/a%2Fb"}},
    };
}

class CommandLineFaults : public TestingSupport::SimFixture {
protected:
    void SetUp() override { start(kFixture); }
};

TEST_F(CommandLineFaults, EmptyValuesPrintTheGeneralHelpAndSendNothing) {
    for (const auto& c : empty_value_cases()) {
        for (const auto& option : c.options) {
            auto args = c.before;
            args.push_back(option);
            SCOPED_TRACE(command_text(args));
            expect_run(run(args), general_help(empty_value(option)), 2);
        }
    }
    EXPECT_TRUE(request_lines().empty());
}

TEST_F(CommandLineFaults, EachLineEndsAsDocumented) {
    for (const auto& c : cases()) {
        SCOPED_TRACE(c.what);
        start(kFixture);
        expect_run(c.plain ? run_plain(c.args) : run(c.args), expand(c.output), c.status, c.errors);
        std::vector<std::string> expected;
        for (const auto& line : c.requests) expected.push_back(expand(line));
        EXPECT_EQ(expected, request_lines());
    }
}

}  // namespace

std::vector<FaultRow> command_line_fault_rows() {
    std::vector<FaultRow> rows;
    for (const auto& c : empty_value_cases()) {
        std::string example;
        for (const auto& option : c.options) {
            auto args = c.before;
            args.push_back(option);
            example += (example.empty() ? "" : ", ") + command_text(args);
        }
        rows.push_back({c.what, example, general_help(empty_value(c.options.front())), 2});
    }
    for (const auto& c : cases()) {
        rows.push_back({c.what, command_text(c.args), c.output, c.status, c.errors});
    }
    return rows;
}

}  // namespace Faults
