#include "cli/command_line.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "commands/usage_error.hpp"

namespace Cli {
namespace {

// The refusals of the one pass over a command's options, in the order the
// words come; what passes is the value of each option as written.
TEST(CommandLine, ReadsEachOptionOnceAndRefusesWhatItCannotPlace) {
    const struct {
        std::vector<std::string> args;
        const char* refusal;  // empty: read
    } cases[] = {
        {{"light", "--id=1", "--c=4"},
         "option '--c=4' is ambiguous and matches '--color', and '--ct'"},
        {{"light", "--id=1", "--on=yes"}, "option '--on' does not take any arguments"},
        {{"light", "--id=1", "--on", "-on"}, "option '--on' cannot be specified more than once"},
        {{"light", "--id=1", "--ct"}, "the required argument for option '--ct' is missing"},
        {{"group", "--id=1", "-l="},
         "the argument for option '--l=' should follow immediately after the equal sign"},
        // Options it does not take come last, the first named as written.
        {{"light", "-idd=1", "--bri"}, "the required argument for option '--bri' is missing"},
        {{"light", "---on", "--brite=3"},
         "Error: unknown option ---on for light; did you mean --on?"},
        {{"group", "--id=1", "-l=1", "--l=Desk", "--tr=5", "-ID=2"},
         "Error: unknown option -ID for group; did you mean --id?"},
        {{"group", "--id=1", "-l=1", "--l=Desk", "--tr=5", "-help"}, ""},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const auto& arg : c.args) line += arg + " ";
        SCOPED_TRACE(line);
        try {
            const OptionValues values = read_options(read_words(c.args), *find_command(c.args[0]));
            EXPECT_EQ("", std::string(c.refusal));
            EXPECT_EQ((std::vector<std::string>{"1", "Desk"}), values.texts("l"));
            EXPECT_EQ("5", values.text("trans"));
        } catch (const Commands::UsageError& e) {
            EXPECT_EQ(c.refusal, std::string(e.what()));
        }
    }
}

}  // namespace
}  // namespace Cli
