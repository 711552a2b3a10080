#include "access/credentials_file.hpp"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/process.hpp"

namespace {
// While set, every rename of this process fails as a full disk would make it.
std::atomic<bool> g_renames_fail{false};
}  // namespace

// Stands in for the C library's rename, which this program's code calls, so
// that a test can make the last step of a rewrite fail: nothing else can make
// it fail once the new file is written, not even for root.
extern "C" int rename(const char* from, const char* to) noexcept {
    if (g_renames_fail) {
        errno = ENOSPC;
        return -1;
    }
    return ::renameat(AT_FDCWD, from, AT_FDCWD, to);
}

namespace Commands {
namespace {

class CredentialsFileTest : public ::testing::Test {
protected:
    std::string path() const { return m_home.path() + "/glowrig/bridges.json"; }

    void write(const std::string& text) const {
        std::filesystem::create_directories(m_home.path() + "/glowrig");
        std::ofstream(path(), std::ios::binary) << text;
    }

    std::string text() const {
        std::ostringstream read;
        read << std::ifstream(path(), std::ios::binary).rdbuf();
        return read.str();
    }

    const TestingSupport::TemporaryDirectory m_home;
    const Access::CredentialsFile m_file{path()};
};

// A file that is not a credentials file fails both reads and writes, and is
// never written over: it may hold names the user still needs.
TEST_F(CredentialsFileTest, AFileOfAnotherShapeIsRefusedAndKept) {
    const std::string entry = R"({"address":"10.0.0.2","username":"u")";
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"not JSON", "{\"bridges\": ["},
        {"an entry that is not an object", R"({"bridges":[7]})"},
        {"an empty user name", R"({"bridges":[{"address":"10.0.0.2","username":""}]})"},
        {"port 0", R"({"bridges":[)" + entry + R"(,"port":0}]})"},
        {"port 65536", R"({"bridges":[)" + entry + R"(,"port":65536}]})"},
        {"port 2^32 + 443", R"({"bridges":[)" + entry + R"(,"port":4294967739}]})"},
        {"port 2^64 - 1", R"({"bridges":[)" + entry + R"(,"port":18446744073709551615}]})"},
        {"another scheme", R"({"bridges":[)" + entry + R"(,"scheme":"ftp"}]})"},
        {"a host name", R"({"bridges":[{"address":"hub.local:80","username":"u"}]})"},
        {"larger than 1 MiB", R"({"bridges":[)" + entry + "}]" + std::string(1 << 20, ' ') + "}"},
    };
    const Hue::Bridge bridge("", {.host = "10.0.0.2"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        write(c.text);
        const std::string refusal =
            "Error: " + path() +
            " is not a readable list of bridge user names; repair or remove it.";
        try {
            m_file.find(bridge);
            ADD_FAILURE() << "read";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(refusal, e.what());
        }
        EXPECT_THROW(m_file.store(bridge, "new"), std::runtime_error);
        EXPECT_EQ(c.text, text());
    }
}

// The message of what `action` throws, or "" when it throws nothing.
template <class Action>
std::string failure_of(Action action) {
    try {
        action();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

// A folder on the way that is no folder, or that this user may not enter
// (an unreadable HOME), is named with the system's cause, not taken for a
// broken file.
TEST_F(CredentialsFileTest, AFolderThatCannotBeReadOrMadeNamesTheCause) {
    const Hue::Bridge bridge("", {.host = "10.0.0.2"});
    // XDG_CONFIG_HOME naming a regular file.
    const std::string regular = m_home.path() + "/config";
    std::ofstream(regular) << "";
    const std::string under_file = regular + "/glowrig/bridges.json";
    const Access::CredentialsFile file(under_file);
    EXPECT_EQ("Error: cannot read " + under_file + ": Not a directory.",
              failure_of([&] { file.find(bridge); }));
    EXPECT_EQ("Error: cannot write " + under_file + ": Not a directory.",
              failure_of([&] { file.store(bridge, "u"); }));

    // A home that may not be entered, by a child that gives up root first
    // (root enters every folder).
    write("{}");
    ASSERT_EQ(0, ::chmod(m_home.path().c_str(), 0));
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(2);
        const std::string expected = "Error: cannot read " + path() + ": Permission denied.";
        ::_exit(failure_of([this, &bridge] { m_file.find(bridge); }) == expected ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    ::chmod(m_home.path().c_str(), 0700);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

TEST_F(CredentialsFileTest, EntriesAreReplacedAndRemovedOnlyForTheirBridge) {
    // A bridge named by its address later keeps the id it was stored with.
    m_file.store(Hue::Bridge("0200aafffe0a1b2c", {.host = "10.0.0.2"}), "first");
    m_file.store(Hue::Bridge("", {.host = "10.0.0.2"}), "second");
    ASSERT_EQ(1u, m_file.remembered().size());
    EXPECT_EQ("0200aafffe0a1b2c", m_file.remembered()[0].id);
    EXPECT_EQ("second", m_file.remembered()[0].username);

    // Removing another name of the bridge keeps the entry; a shorter file
    // written over a longer one leaves nothing of it behind.
    m_file.store(Hue::Bridge("", {.host = "10.0.0.3"}), std::string(200, 'x'));
    m_file.remove(Hue::Bridge("", {.host = "10.0.0.2"}), "first");
    EXPECT_EQ("second", m_file.find(Hue::Bridge("", {.host = "10.0.0.2"})));
    m_file.remove(Hue::Bridge("", {.host = "10.0.0.3"}), std::string(200, 'x'));
    EXPECT_FALSE(m_file.find(Hue::Bridge("", {.host = "10.0.0.3"})));
    EXPECT_EQ("second", m_file.find(Hue::Bridge("", {.host = "10.0.0.2"})));

    // Removing a name the file does not hold leaves the file as it was written.
    const std::string kept = R"({"bridges":[{"address":"10.0.0.2","username":"kept"}]})";
    write(kept);
    m_file.remove(Hue::Bridge("", {.host = "10.0.0.2"}), "other");
    EXPECT_EQ(kept, text());

    // Removing from a file that does not exist creates nothing.
    const TestingSupport::TemporaryDirectory other;
    std::filesystem::create_directories(other.path() + "/glowrig");
    const Access::CredentialsFile missing(other.path() + "/glowrig/bridges.json");
    missing.remove(Hue::Bridge("", {.host = "10.0.0.2"}), "second");
    EXPECT_FALSE(std::filesystem::exists(other.path() + "/glowrig/bridges.json"));
}

// The file holds one entry per line, its members in the order the manual
// shows them, the entries kept from before as they were.
TEST_F(CredentialsFileTest, EntriesAreWrittenOnePerLineInTheDocumentedOrder) {
    write(R"({"bridges":[{"username":"kept","note":"mine","address":"10.0.0.9"}]})");
    m_file.store(Hue::Bridge("0200aafffe0a1b2c",
                             {.scheme = Hue::Scheme::Https, .host = "10.0.0.2", .port = 443}),
                 "u1", "AB:CD");
    m_file.store(Hue::Bridge("", {.host = "::1", .port = 8080}), "u2");
    EXPECT_EQ(
        "{\n"
        "  \"bridges\": [\n"
        "    {\"address\":\"10.0.0.9\",\"username\":\"kept\",\"note\":\"mine\"},\n"
        "    {\"id\":\"0200aafffe0a1b2c\",\"address\":\"https://10.0.0.2\",\"username\":\"u1\","
        "\"sha256\":\"AB:CD\"},\n"
        "    {\"address\":\"[::1]:8080\",\"username\":\"u2\"}\n"
        "  ]\n"
        "}\n",
        text());
}

// Entries written by earlier versions read as where their bridge answers; a
// store rewrites its own entry in place and in the present shape only.
TEST_F(CredentialsFileTest, EntriesOfEarlierVersionsStillRead) {
    write(
        R"({"bridges":[{"address":"10.0.0.1","username":"bare"},)"
        R"({"address":"10.0.0.2:443","username":"tls","scheme":"https","port":443,"sha256":"AB"},)"
        R"({"address":"10.0.0.3:80","username":"moved","scheme":"http","port":8080},)"
        R"({"id":"0200aafffe0a1b2c","address":"10.0.0.4:8443","username":"pin","sha256":"CD"},)"
        R"({"address":"https://[::1]:8443","username":"now"}]})");
    const struct {
        Http::Endpoint bridge;
        const char* username;
        const char* address;  // location_text of the entry's address
    } cases[] = {
        {{.host = "10.0.0.1"}, "bare", "10.0.0.1:80"},
        {{.host = "10.0.0.2", .port = 443}, "tls", "https://10.0.0.2"},
        {{.host = "10.0.0.3", .port = 8080}, "moved", "10.0.0.3:8080"},
        {{.host = "10.0.0.4", .port = 8443}, "pin", "https://10.0.0.4:8443"},
        {{.host = "::1", .port = 8443}, "now", "https://[::1]:8443"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.username);
        const auto entry = m_file.find_entry(Hue::Bridge("", c.bridge));
        ASSERT_TRUE(entry.has_value());
        EXPECT_EQ(c.username, entry->username);
        EXPECT_EQ(c.address, Http::location_text(entry->address));
    }
    m_file.store(Hue::Bridge("", {.host = "10.0.0.3", .port = 8080}), "again");
    EXPECT_EQ(
        "{\n"
        "  \"bridges\": [\n"
        "    {\"address\":\"10.0.0.1\",\"username\":\"bare\"},\n"
        "    {\"address\":\"10.0.0.2:443\",\"username\":\"tls\",\"scheme\":\"https\",\"port\":443,"
        "\"sha256\":\"AB\"},\n"
        "    {\"address\":\"10.0.0.3:8080\",\"username\":\"again\"},\n"
        "    {\"id\":\"0200aafffe0a1b2c\",\"address\":\"10.0.0.4:8443\",\"username\":\"pin\","
        "\"sha256\":\"CD\"},\n"
        "    {\"address\":\"https://[::1]:8443\",\"username\":\"now\"}\n"
        "  ]\n"
        "}\n",
        text());
}

// Lookups read the file once; a store that changes nothing writes nothing.
TEST_F(CredentialsFileTest, TheFileIsReadOnceAndWrittenOnlyWhenItChanges) {
    const Hue::Bridge bridge("", {.host = "10.0.0.2"});
    write(R"({"bridges":[{"address":"10.0.0.2","username":"u"}]})");
    EXPECT_EQ("u", m_file.find(bridge));
    const std::string other = R"({"bridges":[{"address":"10.0.0.2:80","username":"v"}]})";
    write(other);
    EXPECT_EQ("u", m_file.find(bridge));
    g_renames_fail = true;  // a write would fail the store
    EXPECT_NO_THROW(m_file.store(bridge, "v"));
    g_renames_fail = false;
    EXPECT_EQ(other, text());
    EXPECT_EQ("v", m_file.find(bridge));
}

// A rewrite whose last step fails is a failed store: the file keeps what it
// held and no temporary file is left beside it.
TEST_F(CredentialsFileTest, AFailedRenameFailsTheStoreAndKeepsTheFile) {
    m_file.store(Hue::Bridge("", {.host = "10.0.0.2"}), "kept");
    const std::string before = text();
    g_renames_fail = true;
    try {
        m_file.store(Hue::Bridge("", {.host = "10.0.0.3"}), "new");
        ADD_FAILURE() << "stored";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ("Error: cannot write " + path() + ": No space left on device.",
                  std::string(e.what()));
    }
    g_renames_fail = false;
    EXPECT_EQ(before, text());
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(m_home.path() + "/glowrig"),
                               std::filesystem::directory_iterator()));
}

TEST(CredentialsFile, RunsWritingAtOnceKeepEveryEntryAndReadersSeeItWhole) {
    const TestingSupport::TemporaryDirectory home;
    const Access::CredentialsFile credentials(home.path() + "/glowrig/bridges.json");
    auto store_many = [&credentials](const std::string& prefix) {
        for (int i = 0; i < 10; ++i) {
            credentials.store(Hue::Bridge("", {.host = "127.0.0.1",
                                               .port = static_cast<unsigned short>(1000 + i)}),
                              prefix);
            credentials.store(Hue::Bridge("", {.host = "127.0.0." + prefix,
                                               .port = static_cast<unsigned short>(1000 + i)}),
                              prefix);
        }
    };
    // A run reading the file meanwhile always finds it whole.
    std::atomic<bool> writing{true};
    std::thread reader([&] {
        while (writing) EXPECT_NO_THROW(credentials.remembered());
    });
    std::thread first(store_many, "2");
    std::thread second(store_many, "3");
    first.join();
    second.join();
    writing = false;
    reader.join();
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(credentials.find(
            Hue::Bridge("", {.host = "127.0.0.1", .port = static_cast<unsigned short>(1000 + i)})));
        EXPECT_EQ("2",
                  credentials.find(Hue::Bridge(
                      "", {.host = "127.0.0.2", .port = static_cast<unsigned short>(1000 + i)})));
        EXPECT_EQ("3",
                  credentials.find(Hue::Bridge(
                      "", {.host = "127.0.0.3", .port = static_cast<unsigned short>(1000 + i)})));
    }
    // Matched by id when the bridge's id is known; an entry without one by address.
    credentials.store(Hue::Bridge("ABC", {.host = "127.0.0.9"}), "by-id");
    EXPECT_EQ("by-id", credentials.find(Hue::Bridge("abc", {.host = "127.0.0.8"})));
    EXPECT_FALSE(credentials.find(Hue::Bridge("def", {.host = "127.0.0.9"})));
    EXPECT_EQ("2", credentials.find(Hue::Bridge("def", {.host = "127.0.0.2", .port = 1000})));
}

}  // namespace
}  // namespace Commands
