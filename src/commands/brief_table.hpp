#ifndef GLOWRIG_COMMANDS_BRIEF_TABLE_HPP_
#define GLOWRIG_COMMANDS_BRIEF_TABLE_HPP_

#include <ostream>
#include <string>
#include <vector>

namespace Commands {

// A listing in its brief form ("--brief"): a header line, then one line per
// item, each column as wide as its widest cell.
struct BriefTable {
    std::vector<std::string> header;             // "ID", "NAME", ...
    std::vector<std::vector<std::string>> rows;  // each with a cell per header word
};

// The widest a name is shown in a brief listing, in columns.
constexpr std::size_t kBriefNameWidth = 24;

// `name` as a brief listing shows it: cut to kBriefNameWidth columns, the
// last of them "…", when it is longer; controls and broken UTF-8 made
// printable.
std::string brief_name(const std::string& name);

// The number of columns `cell` takes on a terminal: its code points, without
// the colour escapes ("\x1b[...m") it may hold.
std::size_t cell_width(const std::string& cell);

// Writes `table`: the header, then the rows, each line its cells in order,
// two blanks apart, every cell but the last padded to its column's width,
// no blank at the end of a line.
void print_brief(std::ostream& out, const BriefTable& table);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_BRIEF_TABLE_HPP_
