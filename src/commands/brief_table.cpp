#include "commands/brief_table.hpp"

#include <algorithm>

#include "util/printable.hpp"
#include "util/text.hpp"

namespace Commands {

std::string brief_name(const std::string& name) {
    const std::string shown = Util::printable(name);
    if (Util::code_points(shown) <= kBriefNameWidth) return shown;
    return shown.substr(0, Util::code_point_prefix(shown, kBriefNameWidth - 1)) + "…";
}

std::size_t cell_width(const std::string& cell) {
    std::string visible;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] == '\x1b' && i + 1 < cell.size() && cell[i + 1] == '[') {
            const std::size_t end = cell.find('m', i);
            if (end != std::string::npos) {
                i = end;
                continue;
            }
        }
        visible += cell[i];
    }
    return Util::code_points(visible);
}

void print_brief(std::ostream& out, const BriefTable& table) {
    std::vector<std::size_t> widths(table.header.size(), 0);
    const auto measure = [&widths](const std::vector<std::string>& line) {
        for (std::size_t i = 0; i < line.size() && i < widths.size(); ++i) {
            widths[i] = std::max(widths[i], cell_width(line[i]));
        }
    };
    measure(table.header);
    for (const auto& row : table.rows) measure(row);
    const auto write = [&](const std::vector<std::string>& line) {
        std::string text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (i > 0) text += "  ";
            text += line[i];
            if (i + 1 < line.size()) text.append(widths[i] - cell_width(line[i]), ' ');
        }
        text.erase(text.find_last_not_of(' ') + 1);
        out << text << '\n';
    };
    write(table.header);
    for (const auto& row : table.rows) write(row);
    out.flush();
}

}  // namespace Commands
