#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/process.hpp"
#include "support/sim_fixture.hpp"

namespace {

using TestingSupport::read_test_data;
using TestingSupport::run_glowrig;

struct HelpCase {
    std::vector<std::string> args;
    const char* expected_file;
    int status;
    const char* why = "";  // the line after the help that says what was wrong
};

// How the command line asks for help, and every first-stage failure, compared
// byte for byte (each command's help is checked in-process in help_test.cpp).
TEST(EntryHelp, PrintsTheExpectedHelpAndStatus) {
    const HelpCase cases[] = {
        {{}, "help_general.txt", 0},
        {{"--help"}, "help_general.txt", 0},
        {{"-h"}, "help_general.txt", 0},
        {{"help"}, "help_general.txt", 0},
        {{"help", "lights"}, "help_lights.txt", 0},
        {{"light", "--id", "3", "--on"},
         "help_general.txt",
         2,
         R"(Error: "3" is a second command word; attach values with "=" as in --id=3.)"},
        {{"lights", "groups"},
         "help_general.txt",
         2,
         R"(Error: "groups" is a second command word; glowrig runs one command at a time.)"},
        {{"light", "--id=3", "--ct="},
         "help_general.txt",
         2,
         "Error: the argument for option '--ct' should follow immediately after the equal sign."},
        {{"--bridge=127.0.0.1"},
         "help_general.txt",
         2,
         "Error: the command line names no command."},
        {{"LIGHTS", "-help"}, "help_lights.txt", 0},
        {{"-help", "light"}, "help_light.txt", 0},
        {{"Schedule", "--help"}, "help_schedule.txt", 0},
        {{"lightz"},
         "help_general.txt",
         2,
         R"(Error: Command not recognized: "lightz"; did you mean light?)"},
        {{"help", "lihgt"},
         "help_general.txt",
         2,
         R"(Error: Command not recognized: "lihgt"; did you mean light?)"},
        {{"frobnicate"}, "help_general.txt", 2, R"(Error: Command not recognized: "frobnicate")"},
        // Help is text with --json too, without the empty line of the text printout.
        {{"help", "light", "--json"}, "help_light.txt", 0},
        {{"help", "--json"}, "help_general.txt", 0},
        {{"-h", "-json"}, "help_general.txt", 0},
        {{"light", "-help", "--json"}, "help_light.txt", 0},
    };
    for (const HelpCase& c : cases) {
        std::string line;
        for (const auto& a : c.args) line += a + " ";
        SCOPED_TRACE("glowrig " + line);
        const auto result = run_glowrig(c.args);
        const std::string why = *c.why ? std::string(c.why) + "\n" : "";
        const std::string help = read_test_data(c.expected_file);
        const bool json = !c.args.empty() && c.args.back().find("json") != std::string::npos;
        EXPECT_EQ((json ? help.substr(1) : help) + why, result.output);
        EXPECT_EQ(c.status, result.status);
        EXPECT_EQ("", result.errors);
    }
}

// Second-stage and start-up failures print one message after the empty line;
// with --json the message alone goes to standard error.
TEST(EntryFailures, PrintTheMessageAndExitWithTwo) {
    const struct {
        std::vector<std::string> args;
        const char* message;
        TestingSupport::Environment env = {};
    } cases[] = {
        {{"light", "--id=3", "--hue=abc"}, "Error: option 'hue' must be a whole number 0-65535."},
        {{"light", "--id=3", "--bri=150%", "--json"},
         "Error: option 'bri' must be a whole number 0-255, +N or -N to change it by N (1-254) "
         "or N% (0-100)."},
        {{"config", "--bridge=1", "--bridge=2"},
         "option '--bridge' cannot be specified more than once"},
        {{"light", "--id=3", "--ct"}, "the required argument for option '--ct' is missing"},
        {{"light", "--id", "3", "--json"},
         R"(Error: "3" is a second command word; attach values with "=" as in --id=3.)"},
        {{"--json"}, "Error: the command line names no command."},
        {{"lightz", "--json"}, R"(Error: Command not recognized: "lightz"; did you mean light?)"},
        {{"help", "lihgt", "--json"},
         R"(Error: Command not recognized: "lihgt"; did you mean light?)"},
        // An option the command does not take, named as written, is refused
        // before the settings are read.
        {{"lights", "--id=3", "--json"}, "Error: unknown option --id for lights"},
        {{"lights", "-hlep"}, "Error: unknown option -hlep for lights; did you mean --help?"},
        {{"lights", "--bridge=127.0.0.9", "-l=2"},
         "Error: unknown option -l for lights",
         {{"GLOWRIG_SSDP", "127.0.0.9"}}},
        {{"version", "--brightness=200", "-l=3"}, "Error: unknown option --brightness for version"},
        {{"schedule", "--json"},
         "Error: required option 'id' is missing.  Try glowrig schedule -help"},
        {{"light", "\xff"}, "Error: the command line is not valid UTF-8."},
        // A malformed setting is refused before anything is sent.
        {{"lights", "--bridge=127.0.0.9"},
         "Error: GLOWRIG_SSDP must be host:port.",
         {{"GLOWRIG_SSDP", "127.0.0.9"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const auto result = run_glowrig(c.args, c.env);
        const bool json = c.args.back() == "--json";
        EXPECT_EQ(json ? "" : std::string("\n") + c.message + "\n", result.output);
        EXPECT_EQ(json ? std::string(c.message) + "\n" : "", result.errors);
        EXPECT_EQ(2, result.status);
    }
}

TEST(EntryVersion, PrintsTheProjectsVersion) {
    const std::string version = GLOWRIG_VERSION;
    const struct {
        std::vector<std::string> args;
        std::string output;
    } cases[] = {
        {{"--version"}, "glowrig " + version + "\n"},
        {{"VERSION"}, "glowrig " + version + "\n"},
        {{"version", "--json"}, R"({"version":")" + version + "\"}\n"},
        {{"--version", "--json"}, R"({"version":")" + version + "\"}\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const auto result = run_glowrig(c.args);
        EXPECT_EQ(c.output, result.output);
        EXPECT_EQ("", result.errors);
        EXPECT_EQ(0, result.status);
    }
}

}  // namespace

namespace {

class EntryProcess : public TestingSupport::SimFixture {};

// Every command of a bridge prints the same, and ends with the same status,
// as a process of its own as it does run in the test's process, where the
// other tests run it.
TEST_F(EntryProcess, EachCommandRunsAlikeAsItsOwnProcess) {
    const std::string sample = read_test_data("../../fixtures/sample.json");
    const std::vector<std::vector<std::string>> lines = {
        {"config"},
        {"lights"},
        {"light", "--id=1", "--bri=+1"},
        {"groups", "--json"},
        {"group", "--id=1", "--on"},
        {"schedules"},
        {"schedule", "--id=1"},
        {"scenes"},
        {"scene", "--id=relax"},
        {"sensors", "--brief"},
        {"sensor", "--id=Dimmer", "--off"},
        {"state"},
        {"light", "--id=99", "--on"},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.front() + " " + line.back());
        start(sample);
        const auto process = run_binary(line);
        start(sample);
        const auto here = run(line);
        EXPECT_EQ(process.output, here.output);
        EXPECT_EQ(process.errors, here.errors);
        EXPECT_EQ(process.status, here.status);
    }
}

}  // namespace
