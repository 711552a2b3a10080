#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include <cpprest/json.h>
#include <gtest/gtest.h>

#include "support/sim_fixture.hpp"

namespace {

using web::json::value;

std::string sample_fixture() {
    std::ifstream in(std::string(GLOWRIG_TEST_DATA) + "/../../fixtures/sample.json");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class StateCommand : public testing_support::SimFixture {
protected:
    // The sample bridge, with its whitelist entry renamed so that it sorts
    // before any user id this machine can have.
    void start_sample() {
        start(sample_fixture());
        bridge().update([](value& state) {
            auto& whitelist = state["config"]["whitelist"];
            const value phone = whitelist.at("8a2f0f1c2d3e4f5a");
            whitelist["-phone"] = phone;
            whitelist.erase("8a2f0f1c2d3e4f5a");
        });
    }
};

TEST_F(StateCommand, PrintsEverythingFromOneRequest) {
    start_sample();
    const auto result = run({"state"});
    EXPECT_EQ(expand(testing_support::read_test_data("state_sample.txt")), result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(std::vector<std::string>{expand("GET /api/{user}")}, request_lines());
}

// Every printing command's --json output is one JSON document and nothing
// else (the names it uses are checked against docs/json.md in-process).
TEST_F(StateCommand, JsonPrintoutsAreOneDocumentAndNothingElse) {
    const std::vector<std::vector<std::string>> lines = {{"state"},
                                                         {"config", "--auth"},
                                                         {"lights"},
                                                         {"light", "--id=1"},
                                                         {"groups"},
                                                         {"group", "--id=1", "--on"},
                                                         {"schedules"},
                                                         {"schedule", "--id=1"},
                                                         {"schedule", "--id=2", "--delete"}};
    for (auto args : lines) {
        SCOPED_TRACE(args[0]);
        start_sample();
        args.push_back("--json");
        const auto result = run(args);
        EXPECT_EQ(0, result.status);
        EXPECT_EQ("", result.errors);
        ASSERT_EQ(1, std::count(result.output.begin(), result.output.end(), '\n'));
        EXPECT_NO_THROW(value::parse(result.output)) << result.output;
    }
}

// Output that cannot be written fails the command with one line on standard
// error; a closed standard output is found before anything is sent.
TEST_F(StateCommand, OutputThatCannotBeWrittenFails) {
    start_sample();
    const struct {
        const char* redirect;
        const char* error;
        std::size_t requests;
    } cases[] = {{">/dev/full", "No space left on device", 1}, {">&-", "Bad file descriptor", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.redirect);
        bridge().clear_requests();
        const auto result = testing_support::run_program(
            "/bin/sh",
            {"-c", std::string("exec \"$0\" state --bridge=\"$1\" ") + c.redirect, GLOWRIG_BINARY,
             address()},
            {}, 60);
        EXPECT_EQ(std::string("glowrig: cannot write output: ") + c.error + "\n", result.errors);
        EXPECT_EQ(1, result.status);
        EXPECT_EQ(c.requests, request_lines().size());
    }
}

TEST_F(StateCommand, ScenesSensorsAndRulesDoNotChangeThePrintout) {
    start_sample();
    bridge().update([](value& state) {
        state.erase("scenes");
        state.erase("sensors");
        state.erase("rules");
    });
    EXPECT_EQ(expand(testing_support::read_test_data("state_sample.txt")), run({"state"}).output);
}

TEST_F(StateCommand, AStateWithoutSchedulesPrintsNothingButTheFailure) {
    start_sample();
    bridge().update([](value& state) { state.erase("schedules"); });
    const auto result = run({"state"});
    EXPECT_EQ("\nKey not found\n", result.output);
    EXPECT_EQ(1, result.status);
}

TEST_F(StateCommand, AnUnknownUserGetsTheBridgesError) {
    start(sample_fixture(), false);
    const auto result = run({"state"});
    EXPECT_EQ(
        "\n{\"error\":{\"address\":\"/\",\"description\":\"unauthorized user\",\"type\":1}}\n",
        result.output);
    EXPECT_EQ(1, result.status);
}

// A bridge as large as a big household's: every item must come out once.
TEST_F(StateCommand, ReadsAndPrintsALargeBridge) {
    value state = value::object();
    state["config"] = value::object();
    for (const char* key : {"lights", "groups", "schedules", "scenes", "sensors", "rules"}) {
        state[key] = value::object();
    }
    const auto add = [&state](const char* key, int count, const std::string& json) {
        for (int i = 1; i <= count; ++i) state[key][std::to_string(i)] = value::parse(json);
    };
    add("lights", 60,
        R"({"name":"","modelid":"M","swversion":"1","state":{"on":true,"bri":1,"colormode":"ct","ct":300}})");
    add("groups", 60, R"({"name":"G","lights":["1","2"],"action":{"on":true}})");
    add("schedules", 100, R"({"name":"S","description":"D","time":"PT00:01:00","command":{}})");
    add("scenes", 200, R"({"name":"Sc","lights":["1"],"active":false})");
    add("sensors", 60, R"({"name":"Se","type":"T","modelid":"M","manufacturername":"m"})");
    add("rules", 200, R"({"name":"R"})");
    value fixture = value::object();
    fixture["state"] = state;
    start(fixture.serialize());

    const auto result = run({"state"});
    EXPECT_EQ(0, result.status);
    std::istringstream lines(result.output);
    std::map<std::string, int> counts;
    int ids = 0;
    for (std::string line; std::getline(lines, line);) {
        ++counts[line];
        if (line.rfind("  Id:", 0) == 0) ++ids;
    }
    EXPECT_EQ(60 + 60 + 100, ids);
    EXPECT_EQ(60, counts["    ColorTemperature:      300"]);
    EXPECT_EQ(60, counts["  Lights:                  1, 2"]);
    EXPECT_EQ(100, counts["  Time:                    PT00:01:00"]);
    EXPECT_EQ(1u, request_lines().size());
}

}  // namespace
