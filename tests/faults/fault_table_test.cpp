// docs/faults.md lists the fault cases of the suites beside this file. Its
// table is generated from their case tables; this test fails when the
// document and the cases differ. GLOWRIG_UPDATE_FAULTS_DOC=1 rewrites it.
#include "faults/fault_table.hpp"

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace Faults {
namespace {

constexpr const char* kBegin = "<!-- fault table begin -->\n";
constexpr const char* kEnd = "<!-- fault table end -->";

std::string document_path() { return std::string(GLOWRIG_TEST_DATA) + "/../../docs/faults.md"; }

TEST(FaultTable, EveryCaseIsNamedOnce) {
    std::set<std::string> names;
    for (const auto& rows :
         {reply_fault_rows(), discovery_fault_rows(), command_line_fault_rows()}) {
        for (const auto& row : rows) {
            EXPECT_TRUE(names.insert(row.what).second) << row.what;
        }
    }
}

TEST(FaultTable, DocumentListsWhatTheCasesCheck) {
    std::ifstream in(document_path(), std::ios::binary);
    ASSERT_TRUE(in) << document_path();
    std::ostringstream read;
    read << in.rdbuf();
    std::string text = read.str();
    const auto begin = text.find(kBegin);
    const auto end = text.find(kEnd);
    ASSERT_NE(std::string::npos, begin);
    ASSERT_NE(std::string::npos, end);
    const std::size_t start = begin + std::string(kBegin).size();
    const std::string expected = fault_table_markdown();
    if (const char* update = std::getenv("GLOWRIG_UPDATE_FAULTS_DOC"); update && *update == '1') {
        text.replace(start, end - start, expected);
        std::ofstream(document_path(), std::ios::binary) << text;
        return;
    }
    EXPECT_EQ(expected, text.substr(start, end - start))
        << "docs/faults.md is out of date: run this test with GLOWRIG_UPDATE_FAULTS_DOC=1";
}

}  // namespace
}  // namespace Faults
