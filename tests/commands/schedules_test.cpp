#include "commands/schedules.hpp"

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "support/sim_fixture.hpp"

namespace {

using Json::Value;

// Three schedules, one of each usual time form, each with a command.
const std::string kFixture = TestingSupport::read_test_data("schedules_fixture.json");

const std::string kListing = TestingSupport::read_test_data("schedules_listing.txt");

class SchedulesCommand : public TestingSupport::SimFixture {
protected:
    void SetUp() override { start(kFixture); }

    // Adds (or replaces) schedule `id` on the bridge.
    void put_schedule(const std::string& id, const char* json) {
        bridge().update([&](Value& state) { state["schedules"][id] = Json::parse(json); });
    }
};

// The same printout from whole listings (current firmware), names alone (old
// firmware) or both; only the schedules given by name are read one by one,
// each after a pause, before printing or changing.
TEST_F(SchedulesCommand, ListsEveryScheduleReadingOnlyThoseGivenByName) {
    const struct {
        const char* shape;
        std::vector<std::string> read;  // the ids read one by one, in order
    } cases[] = {
        {"whole", {}},
        {"names", {"1", "2", "3"}},
        {"mixed", {"2"}},
    };
    std::string json;  // the --json printout of the first case
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("listings ") + c.shape);
        start(kFixture);
        const std::string listed = expect_listing("schedules", c.shape, c.read, kListing);
        if (json.empty()) json = listed;
        EXPECT_EQ(json, listed);

        // `schedule` reads the schedule before changing it only when the listing named it.
        bridge().clear_requests();
        const auto result = run({"schedule", "--id=2", "--desc=Often"});
        EXPECT_EQ(0, result.status);
        std::vector<std::string> requests = {"GET /api/{user}/schedules"};
        if (!c.read.empty()) requests.push_back("GET /api/{user}/schedules/2");
        requests.push_back(R"(PUT /api/{user}/schedules/2 {"description":"Often"})");
        requests.push_back("GET /api/{user}/schedules/2");
        EXPECT_EQ(expanded(requests), request_lines());
    }
    EXPECT_EQ(0u, json.find(R"({"schedules":[{"command":{"address":"/api/abc/groups/0/action",)"))
        << json;
    EXPECT_NE(std::string::npos, json.find(R"("status":"enabled")")) << json;
}

TEST_F(SchedulesCommand, ModifySendsOnlyWhatTheCommandLineChangesThenPrintsTheSchedule) {
    put_schedule("4", R"({"name": "Bare"})");
    put_schedule("5", R"({"name": "Odd", "time": "PT10:00"})");
    put_schedule("6", R"({"name": "3", "time": "PT10:00"})");  // "--id=3" is schedule 3 still
    const struct {
        std::vector<std::string> args;
        const char* body;  // of the PUT; null: nothing is sent
        const char* printed;
        std::string id = std::string();  // of the schedule changed; empty: the one --id names
    } cases[] = {
        // The time is never sent: written to a timer, it starts it again.
        {{"--id=2", "--name=x"},
         R"({"name":"x"})",
         "  Name:                    x\n  Time:                    R05/PT00:10:00\n"},
        // Without a change the schedule is read and printed alone.
        {{"--id=2"}, nullptr, "  Name:                    x\n"},
        {{"--id=3", "--desc=Mon to Fri"},
         R"({"description":"Mon to Fri"})",
         "  Description:             \n    Mon to Fri\n"},
        // No time was read: the Time label stands alone.
        {{"--id=4"}, nullptr, "  Time:                    \n"},
        {{"--id=5", "--name=Odder"}, R"({"name":"Odder"})", "  Time:                    PT10:00\n"},
        // A switch sends the status alone, or in the one request with a new name.
        {{"--id=1", "--disable"},
         R"({"status":"disabled"})",
         "  Name:                    Wake up\n"},
        {{"--id=1", "--enable", "--name=Rise"},
         R"({"name":"Rise","status":"enabled"})",
         "  Name:                    Rise\n"},
        // A schedule's whole name, letter case aside, names it too.
        {{"--id=wEEKDAYS", "--name=Weekdays", "--desc=Mon to Fri"},
         R"({"description":"Mon to Fri","name":"Weekdays"})",
         "  Name:                    Weekdays\n",
         "3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : ""));
        bridge().clear_requests();
        std::vector<std::string> args = {"schedule"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = run(args);
        EXPECT_EQ(0, result.status);
        const std::string id = c.id.empty() ? c.args[0].substr(5) : c.id;
        EXPECT_EQ(0u, result.output.find("\nSchedules:\n\n  Id:                      " + id + "\n"))
            << result.output;
        EXPECT_NE(std::string::npos, result.output.find(c.printed)) << result.output;
        const std::string path = "/api/{user}/schedules/" + id;
        std::vector<std::string> requests = {"GET /api/{user}/schedules"};
        // Schedules 4 and 5 lack a command or time: they are read before the change.
        if (id == "4" || id == "5") requests.push_back("GET " + path);
        if (c.body != nullptr) {
            requests.push_back("PUT " + path + " " + c.body);
            requests.push_back("GET " + path);
        }
        EXPECT_EQ(expanded(requests), request_lines());
    }
}

TEST_F(SchedulesCommand, ModifyPrintsTheWholeScheduleAsTheBridgeThenHasIt) {
    const auto result = run({"schedule", "--id=1", "--name=Rise", "--desc=Earlier"});
    EXPECT_EQ(R"(
Schedules:

  Id:                      1
  Name:                    Rise
  Time:                    2014-05-01T07:00:00
  Description:             
    Earlier

  Command:                  
    {"address":"/api/abc/groups/0/action","body":{"on":true},"method":"PUT"}
)",
              result.output);
    const Value saved = bridge().state().at("schedules").at("1");
    EXPECT_EQ("Rise", Json::as_string(saved.at("name")));
    EXPECT_EQ("Earlier", Json::as_string(saved.at("description")));
    EXPECT_TRUE(saved.at("command").is_object());
}

TEST_F(SchedulesCommand, NewAndUnknownIdsFailAfterTheListing) {
    put_schedule("4", R"({"name": "pulse"})");
    const struct {
        const char* id;
        const char* output;
    } cases[] = {
        {"--id=new", "\nSchedule creation not supported yet.\nError: no schedule with id new.\n"},
        {"--id=9", "\nError: no schedule with id 9.\n"},
        {"--id=Puls", "\nError: no schedule with id Puls.\n"},  // whole names only
        {"--id=PULSE", "\nError: more than one schedule is named PULSE: ids 2, 4.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        bridge().clear_requests();
        const auto result = run({"schedule", c.id, "--name=x"});
        EXPECT_EQ(c.output, result.output);
        EXPECT_EQ(1, result.status);
        EXPECT_EQ(expanded({"GET /api/{user}/schedules"}), request_lines());
    }
    // With --json, the lines the text printout shows before failing go to
    // standard error, and standard output stays empty.
    const auto json = run({"schedule", "--id=new", "--json"});
    EXPECT_EQ("", json.output);
    EXPECT_EQ("Schedule creation not supported yet.\nError: no schedule with id new.\n",
              json.errors);
}

TEST_F(SchedulesCommand, DeleteSendsDeleteAndPrintsNothing) {
    const auto result = run({"schedule", "--id=2", "--delete"});
    EXPECT_EQ("\n", result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(expanded({"GET /api/{user}/schedules", "DELETE /api/{user}/schedules/2"}),
              request_lines());
    EXPECT_FALSE(Json::has(bridge().state().at("schedules"), "2"));
}

TEST_F(SchedulesCommand, DeleteOfNewStillSendsTheRequestAndItsReplyDecides) {
    const auto result = run({"schedule", "--id=new", "--delete"});
    EXPECT_EQ(
        "\nSchedule creation not supported yet.\n"
        R"({"error":{"address":"/schedules/new","description":"resource, /schedules/new, not available","type":3}})"
        "\n",
        result.output);
    EXPECT_EQ(1, result.status);
    EXPECT_EQ(expanded({"GET /api/{user}/schedules", "DELETE /api/{user}/schedules/new"}),
              request_lines());
}

TEST_F(SchedulesCommand, IdsStayInsideTheSchedulesResource) {
    put_schedule("a/b", R"({"name": "Slashed"})");
    auto result = run({"schedule", "--id=a/b", "--name=z"});
    EXPECT_EQ(0, result.status);
    EXPECT_NE(std::string::npos, result.output.find("  Id:                      a/b\n"));
    EXPECT_EQ(expanded({"GET /api/{user}/schedules", "GET /api/{user}/schedules/a%2Fb",
                        R"(PUT /api/{user}/schedules/a%2Fb {"name":"z"})",
                        "GET /api/{user}/schedules/a%2Fb"}),
              request_lines());

    bridge().clear_requests();
    // A delete of what is neither listed nor a number is refused unsent.
    result = run({"schedule", "--id=1/../../config", "--delete"});
    EXPECT_EQ("\nError: no schedule with id or name 1/../../config.\n", result.output);
    EXPECT_EQ(1, result.status);
    EXPECT_EQ(expanded({"GET /api/{user}/schedules"}), request_lines());
    EXPECT_TRUE(Json::has(bridge().state().at("config"), "whitelist"));
}

TEST_F(SchedulesCommand, MissingIdFailsBeforeAnyRequest) {
    const auto result = run({"schedule", "--name=x"});
    EXPECT_EQ("\nError: required option 'id' is missing.  Try glowrig schedule -help\n",
              result.output);
    EXPECT_EQ(2, result.status);
    EXPECT_TRUE(request_lines().empty());
}

TEST_F(SchedulesCommand, EnableWithDisableFailsBeforeAnyRequest) {
    const auto result = run({"schedule", "--id=1", "--enable", "--disable"});
    EXPECT_EQ("\nError: options --enable and --disable exclude each other.\n", result.output);
    EXPECT_EQ(2, result.status);
    EXPECT_TRUE(request_lines().empty());
}

}  // namespace
