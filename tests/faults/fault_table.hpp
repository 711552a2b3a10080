#ifndef GLOWRIG_TESTS_FAULTS_FAULT_TABLE_HPP_
#define GLOWRIG_TESTS_FAULTS_FAULT_TABLE_HPP_

#include <string>
#include <vector>

#include "support/process.hpp"

namespace Faults {

// One fault case as docs/faults.md lists it. The fault suites run every case
// they describe this way, so the document states what the tests observe.
struct FaultRow {
    std::string what;         // what goes wrong; unique across all suites
    std::string example;      // the command line and the fault (Markdown)
    std::string output;       // what glowrig prints after its leading empty line
    int status = 1;           // its exit status
    std::string errors = {};  // what it writes to standard error (text mode: only advice)
};

// The cases of each suite, in the order of their tables.
std::vector<FaultRow> reply_fault_rows();
std::vector<FaultRow> discovery_fault_rows();
std::vector<FaultRow> command_line_fault_rows();

// The Markdown table block of docs/faults.md for all suites (the text between
// its begin and end markers).
std::string fault_table_markdown();

// What a discovery whose portal never answers ends with, once the time-out has
// failed the portal and the SSDP search has found nothing.
constexpr const char* kHungPortalOutput = "No bridges found.\n";

// "`glowrig a b`" for `args`.
std::string command_text(const std::vector<std::string>& args);

// Checks a finished run against the output and status a case documents, and
// that it neither crashed nor hung.
void expect_run(const TestingSupport::RunResult& result, const std::string& output, int status,
                const std::string& errors = std::string());

}  // namespace Faults

#endif  // GLOWRIG_TESTS_FAULTS_FAULT_TABLE_HPP_
