#include <fstream>
#include <map>
#include <set>
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

// The names docs/json.md documents: the first `name` of each row of the
// table under "## Names".
std::set<std::string> documented_names() {
    std::ifstream in(std::string(GLOWRIG_TEST_DATA) + "/../../docs/json.md");
    std::set<std::string> names;
    bool in_names = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("## ", 0) == 0) in_names = line == "## Names";
        if (in_names && line.rfind("| `", 0) == 0) {
            names.insert(line.substr(3, line.find('`', 3) - 3));
        }
    }
    return names;
}

// Adds the name of every member of `json`, at any depth, to `names`.
void collect_names(const value& json, std::set<std::string>& names) {
    if (json.is_object()) {
        for (const auto& [key, member] : json.as_object()) {
            names.insert(key);
            collect_names(member, names);
        }
    } else if (json.is_array()) {
        for (const auto& element : json.as_array()) collect_names(element, names);
    }
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
// else; together they use exactly the names docs/json.md documents.
TEST_F(StateCommand, JsonPrintoutsParseAndUseTheDocumentedNames) {
    const std::vector<std::vector<std::string>> lines = {{"state"},
                                                         {"config", "--auth"},
                                                         {"lights"},
                                                         {"light", "--id=1"},
                                                         {"groups"},
                                                         {"group", "--id=1", "--on"},
                                                         {"schedules"},
                                                         {"schedule", "--id=1"},
                                                         {"schedule", "--id=2", "--delete"}};
    // The bridges listing's names, which its own test reads (it needs discovery).
    std::set<std::string> names = {"bridges", "ip", "port", "address", "mac"};
    for (auto args : lines) {
        SCOPED_TRACE(args[0]);
        start_sample();
        args.push_back("--json");
        const auto result = run(args);
        EXPECT_EQ(0, result.status);
        EXPECT_EQ("", result.errors);
        value document;
        ASSERT_NO_THROW(document = value::parse(result.output)) << result.output;
        collect_names(document, names);
    }
    EXPECT_EQ(documented_names(), names);
}

// The JSON printout holds what the text printout of the same bridge shows.
TEST_F(StateCommand, JsonPrintoutHoldsTheTextsFields) {
    start_sample();
    const std::string text = run({"state"}).output;
    const value document = value::parse(run({"state", "--json"}).output);
    const auto shows = [&text](const std::string& label, const std::string& field) {
        return text.find(label + field + "\n") != std::string::npos;
    };
    for (const char* list : {"lights", "groups", "schedules"}) {
        for (const value& item : document.at(list).as_array()) {
            SCOPED_TRACE(item.serialize());
            EXPECT_TRUE(shows("  Id:                      ", item.at("id").as_string()));
            EXPECT_TRUE(shows("  Name:                    ", item.at("name").as_string()));
        }
    }
    for (const value& light : document.at("lights").as_array()) {
        const value& state = light.at("state");
        if (state.at("colormode").as_string() != "xy") continue;
        // Light 2 of the sample: the number the text shows, not the float's digits.
        EXPECT_TRUE(shows("    X:                     ", "0.3227"));
        EXPECT_EQ(0.3227, state.at("x").as_double());
        EXPECT_TRUE(state.at("ct").is_null());
    }
    const value& configuration = document.at("configuration");
    EXPECT_TRUE(shows("  Name:                    ", configuration.at("name").as_string()));
    EXPECT_TRUE(shows("  Utc:                     ", "Thu May  1 07:00:00 2014 UTC") &&
                configuration.at("utc").as_string() == "2014-05-01T07:00:00Z")
        << configuration.at("utc").serialize();
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
