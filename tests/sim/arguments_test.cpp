#include "sim/arguments.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

TEST(SimArguments, OptionsAfterTheLastBridgeComeFirst) {
    const struct {
        Args given;
        Args read;
    } cases[] = {
        {{"https://127.0.0.1:0=f.json", "--change-rate", "4", "--split"},
         {"--change-rate", "4", "--split", "https://127.0.0.1:0=f.json"}},
        // Options between bridges stay where they are; a value that looks like
        // a bridge stays with its option.
        {{"--newest", "a=f", "--listings", "names", "b=f", "--log", "c=log", "--newest"},
         {"--log", "c=log", "--newest", "--newest", "a=f", "--listings", "names", "b=f"}},
        {{"--log", "x", "a=f"}, {"--log", "x", "a=f"}},
        // A last option without its value takes no bridge for it.
        {{"a=f", "--log"}, {"a=f", "--log"}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.read, Sim::options_first(c.given));
}

}  // namespace
