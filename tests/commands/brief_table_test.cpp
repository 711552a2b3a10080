#include "commands/brief_table.hpp"

#include <sstream>

#include <gtest/gtest.h>

namespace Commands {
namespace {

// Columns line up on what a terminal shows: colour escapes take no column,
// a code point one; names are cut to 24 columns; lines end without blanks.
TEST(BriefTable, AlignsColumnsOnWhatTheTerminalShows) {
    BriefTable table{
        {"ID", "NAME", "COLOUR", "REACHABLE"},
        {{"1", "Hall", "\x1b[38;2;255;165;0m██\x1b[0m orange #ffa500", ""},
         {"12", brief_name("Küche über dem Garten, links hinten"), "2700 K", "unreachable"}}};
    std::ostringstream out;
    print_brief(out, table);
    EXPECT_EQ(
        "ID  NAME                      COLOUR             REACHABLE\n"
        "1   Hall                      \x1b[38;2;255;165;0m██\x1b[0m orange #ffa500\n"
        "12  Küche über dem Garten, …  2700 K             unreachable\n",
        out.str());
    EXPECT_EQ("Hall", brief_name("Hall"));
    EXPECT_EQ("abcdefghijklmnopqrstuvwx", brief_name("abcdefghijklmnopqrstuvwx"));
}

}  // namespace
}  // namespace Commands
