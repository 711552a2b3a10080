#include "cli/identity.hpp"

#include <cwchar>
#include <stdexcept>

#include <gtest/gtest.h>

namespace cli {
namespace {

// Name sources that report fixed names the way the platform calls do.
NameSources fixed_names(const std::wstring& computer, const std::wstring& user) {
    NameSources sources;
    sources.computer_name = [computer](wchar_t* buffer, std::size_t capacity, std::size_t* length) {
        if (computer.size() + 1 > capacity) return false;
        std::wcscpy(buffer, computer.c_str());
        *length = computer.size();
        return true;
    };
    sources.user_name = [user](wchar_t* buffer, std::size_t capacity, std::size_t* count) {
        if (user.size() + 1 > capacity) return false;
        std::wcscpy(buffer, user.c_str());
        *count = user.size() + 1;
        return true;
    };
    return sources;
}

NameSources failing(bool computer_fails) {
    NameSources sources = fixed_names(L"host", L"user");
    auto fail = [](wchar_t*, std::size_t, std::size_t*) { return false; };
    if (computer_fails) {
        sources.computer_name = fail;
    } else {
        sources.user_name = fail;
    }
    return sources;
}

TEST(MakeUserId, PadsCutsOrKeepsTheJoinedNames) {
    struct Case {
        const wchar_t* computer;
        const wchar_t* user;
        const wchar_t* expected;
    } cases[] = {
        {L"abcd", L"xyz", L"abcdxyzWWW"},
        {L"", L"", L"WWWWWWWWWW"},
        {L"hostA", L"user5", L"hostAuser5"},
        {L"computer-name15", L"a-user-name-of-thirty-chars-30",
         L"computer-name15a-user-name-of-thirty-cha"},
        {L"Mixed\u00e9Host", L"Root", L"Mixed\u00e9HostRoot"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "computer length " << std::wcslen(c.computer));
        EXPECT_EQ(std::wstring(c.expected), make_user_id(fixed_names(c.computer, c.user)));
    }
}

TEST(MakeUserId, UserNameGetsWhatTheComputerNameLeaves) {
    // 200 + 71 characters plus the terminator fill the 272-character buffer exactly;
    // one more character no longer fits.
    const std::wstring computer(200, L'c');
    EXPECT_EQ(computer.substr(0, 40), make_user_id(fixed_names(computer, std::wstring(71, L'u'))));
    EXPECT_THROW(make_user_id(fixed_names(computer, std::wstring(72, L'u'))), std::runtime_error);
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
    const std::wstring id = make_user_id();
    EXPECT_GE(id.size(), 10u);
    EXPECT_LE(id.size(), 40u);
}

}  // namespace
}  // namespace cli
