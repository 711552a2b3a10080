#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "support/sim_fixture.hpp"

namespace {


std::string sample_fixture() {
    std::ifstream in(std::string(GLOWRIG_TEST_DATA) + "/../../fixtures/sample.json");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class StateCommand : public TestingSupport::SimFixture {
protected:
    // The sample bridge, with its whitelist entry renamed so that it sorts
    // before any user id this machine can have.
    void start_sample() {
        start(sample_fixture());
        bridge().update([](Json::Value& state) {
            auto& whitelist = state["config"]["whitelist"];
            const Json::Value phone = whitelist.at("8a2f0f1c2d3e4f5a");
            whitelist["-phone"] = phone;
            whitelist.erase("8a2f0f1c2d3e4f5a");
        });
    }
};

TEST_F(StateCommand, PrintsEverythingFromOneRequest) {
    start_sample();
    const auto result = run({"state"});
    EXPECT_EQ(expand(TestingSupport::read_test_data("state_sample.txt")), result.output);
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
        EXPECT_NO_THROW(Json::parse(result.output)) << result.output;
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
        const auto result = TestingSupport::run_program(
            "/bin/sh",
            {"-c", std::string("exec \"$0\" state --bridge=\"$1\" ") + c.redirect, GLOWRIG_BINARY,
             address()},
            {}, 60);
        EXPECT_EQ(std::string("glowrig: cannot write output: ") + c.error + "\n", result.errors);
        EXPECT_EQ(1, result.status);
        EXPECT_EQ(c.requests, request_lines().size());
    }
}

TEST_F(StateCommand, AStateWithoutSchedulesPrintsNothingButTheFailure) {
    start_sample();
    bridge().update([](Json::Value& state) { state.erase("schedules"); });
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

}  // namespace
