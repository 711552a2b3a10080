#include "faults/fault_table.hpp"

#include <vector>

#include <gtest/gtest.h>

#include "util/text.hpp"

namespace Faults {
namespace {

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '|') out += '\\';
        out += c;
    }
    return out;
}

// The printed lines as code separated by <br> (a long printout by its first
// lines and its length), then the exit status.
std::string seen_cell(const FaultRow& row) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < row.output.size()) {
        const std::size_t end = row.output.find('\n', start);
        std::string line = row.output.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    constexpr std::size_t kShown = 2;
    std::string cell;
    for (std::size_t i = 0; i < lines.size() && (lines.size() <= kShown + 1 || i < kShown); ++i) {
        if (!cell.empty()) cell += "<br>";
        cell += lines[i].empty() ? "(empty line)" : "`" + escaped(lines[i]) + "`";
    }
    if (lines.size() > kShown + 1) {
        cell += "<br>... (" + std::to_string(lines.size()) + " lines in all)";
    }
    if (cell.empty()) cell = "(nothing)";
    if (!row.errors.empty()) {
        std::string errors = row.errors;
        if (errors.back() == '\n') errors.pop_back();
        cell += "; on standard error `" + escaped(errors) + "`";
    }
    return cell + "; exit " + std::to_string(row.status);
}

std::string table(const char* heading, const std::vector<FaultRow>& rows) {
    std::string text = std::string("### ") + heading + "\n\n";
    text += "| What goes wrong | Example | What the user sees (output; exit status) |\n";
    text += "|---|---|---|\n";
    for (const auto& row : rows) {
        text += "| " + escaped(row.what) + " | " + row.example + " | " + seen_cell(row) + " |\n";
    }
    return text;
}

}  // namespace

std::string fault_table_markdown() {
    return table("Bridge replies", reply_fault_rows()) + "\n" +
           table("Discovery", discovery_fault_rows()) + "\n" +
           table("Command line", command_line_fault_rows());
}

std::string command_text(const std::vector<std::string>& args) {
    std::string text = "glowrig";
    for (const auto& arg : args) {
        text += " ";
        if (Util::is_valid_utf8(arg)) {
            text += arg;
        } else {
            // Bytes that are not UTF-8 are shown as \xNN.
            for (unsigned char c : arg) {
                static const char kDigits[] = "0123456789abcdef";
                text += c < 0x80 ? std::string(1, static_cast<char>(c))
                                 : std::string("\\x") + kDigits[c >> 4] + kDigits[c & 15];
            }
        }
    }
    return "`" + escaped(text) + "`";
}

void expect_run(const TestingSupport::RunResult& result, const std::string& output, int status,
                const std::string& errors) {
    EXPECT_FALSE(result.timed_out) << "glowrig hung";
    EXPECT_EQ("\n" + output, result.output);
    EXPECT_EQ(status, result.status) << "a crash or a kill gives -1";
    EXPECT_EQ(errors, result.errors);
}

}  // namespace Faults
