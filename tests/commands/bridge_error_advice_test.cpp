#include "commands/bridge_error_advice.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/sim_fixture.hpp"

namespace {

constexpr const char* kEmptyBridge = R"({"state": {"lights": {}, "schedules": {}, "groups": {}}})";

class BridgeErrorAdvice : public TestingSupport::SimFixture {};

// The bridge's error line stays as it was (on standard output in text mode);
// the errors a person can act on get one more line on standard error.
TEST_F(BridgeErrorAdvice, NamesTheWayForwardForErrorsAPersonCanActOn) {
    const std::string unauthorised =
        R"([{"error":{"type":1,"address":"/lights","description":"unauthorized user"}}])";
    const std::string not_authorised =
        "glowrig is not authorised on {address}: press its link button, then run glowrig "
        "config --auth --bridge={address}\n";
    const struct {
        std::vector<std::string> args;
        std::string fault_method;
        std::string fault_path;  // answered with `fault` instead, when not empty
        std::string fault;
        std::string errors;  // all of standard error
        bool whitelisted = true;
    } cases[] = {
        {{"lights"}, "GET", "/api/{user}/lights", unauthorised, not_authorised},
        {{"lights", "--json"},
         "GET",
         "/api/{user}/lights",
         unauthorised,
         R"({"error":{"address":"/lights","description":"unauthorized user","type":1}})"
         "\n" +
             not_authorised},
        // The bridge's button is not pressed.
        {{"config", "--auth"},
         "",
         "",
         "",
         "the link button of {address} was not pressed: press it, then run this again within "
         "30 s\n",
         false},
        {{"schedule", "--id=9", "--delete"}, "", "", "", "no schedule with id 9\n"},
        // Nothing to add to an invalid value.
        {{"lights"},
         "GET",
         "/api/{user}/lights",
         R"([{"error":{"type":7,"address":"/lights","description":"invalid value"}}])",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back() + " " + c.fault);
        start(kEmptyBridge, c.whitelisted);
        if (!c.fault_path.empty()) {
            Sim::Fault fault;
            fault.body = c.fault;
            bridge().set_fault(c.fault_method, expand(c.fault_path), fault);
        }
        const auto result = run(c.args);
        EXPECT_EQ(1, result.status);
        EXPECT_EQ(expand(c.errors), result.errors);
    }
}

}  // namespace
