#include "cli/identity.hpp"

#include <cstring>
#include <stdexcept>

#include <gtest/gtest.h>

namespace Cli {
namespace {

// Name sources that report fixed names.
NameSources fixed_names(const std::string& computer, const std::string& user) {
    return NameSources{[computer] { return std::optional<std::string>(computer); },
                       [user] { return std::optional<std::string>(user); }};
}

NameSources failing(bool computer_fails) {
    NameSources sources = fixed_names("host", "user");
    auto fail = [] { return std::optional<std::string>(); };
    if (computer_fails) {
        sources.computer_name = fail;
    } else {
        sources.user_name = fail;
    }
    return sources;
}

TEST(MakeUserId, PadsCutsOrKeepsTheJoinedNames) {
    struct Case {
        const char* computer;
        const char* user;
        const char* expected;
    } cases[] = {
        {"abcd", "xyz", "abcdxyzWWW"},
        {"", "", "WWWWWWWWWW"},
        {"hostA", "user5", "hostAuser5"},
        {"computer-name15", "a-user-name-of-thirty-chars-30",
         "computer-name15a-user-name-of-thirty-cha"},
        {"Mixed\u00e9Host", "Root", "Mixed\u00e9HostRoot"},
        // The cut counts characters, not bytes, and never splits one.
        {"\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9",
         "0123456789012345678901234567890123",
         "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e901234567890123456789012345678"
         "9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "computer length " << std::strlen(c.computer));
        EXPECT_EQ(std::string(c.expected), make_user_id(fixed_names(c.computer, c.user)));
    }
}

TEST(MakeUserId, UserNameGetsWhatTheComputerNameLeaves) {
    // 200 + 71 characters plus the terminator fill the 272-character buffer exactly;
    // one more character no longer fits.
    const std::string computer(200, 'c');
    EXPECT_EQ(computer.substr(0, 40), make_user_id(fixed_names(computer, std::string(71, 'u'))));
    EXPECT_THROW(make_user_id(fixed_names(computer, std::string(72, 'u'))), std::runtime_error);
}

TEST(MakeUserId, ReportsWhichNameFailed) {
    struct Case {
        bool computer_fails;
        const char* message;
    } cases[] = {{true, "Could not get computer name."}, {false, "Could not get user name."}};
    for (const Case& c : cases) {
        try {
            make_user_id(failing(c.computer_fails));
            ADD_FAILURE() << "no failure for " << c.message;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(c.message, e.what());
        }
    }
}

TEST(MakeUserId, SystemSourcesGiveAnIdOfTenToFortyCharacters) {
    const std::string id = make_user_id();
    EXPECT_GE(id.size(), 10u);
    EXPECT_LE(id.size(), 40u);
}

}  // namespace
}  // namespace Cli
