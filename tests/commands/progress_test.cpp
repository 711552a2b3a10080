#include "commands/progress.hpp"

#include <chrono>
#include <sstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

using std::chrono::milliseconds;

// A terminal of its own: what a countdown writes to its far end is read back.
class Terminal {
public:
    Terminal() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0) {
            m_slave = open(ptsname(m_master), O_RDWR | O_NOCTTY);
        }
        if (m_master >= 0) fcntl(m_master, F_SETFL, O_NONBLOCK);
    }
    ~Terminal() {
        if (m_slave >= 0) close(m_slave);
        if (m_master >= 0) close(m_master);
    }
    int fd() const { return m_slave; }
    std::string written() const {
        std::string text;
        char buffer[256];
        ssize_t n;
        while ((n = read(m_master, buffer, sizeof buffer)) > 0) text.append(buffer, n);
        return text;
    }

private:
    int m_master = -1;
    int m_slave = -1;
};

TEST(Countdown, ShowsTheSecondsLeftOnATerminalAfterAQuarterSecondAndErasesThem) {
    Terminal terminal;
    ASSERT_GE(terminal.fd(), 0);
    {
        Commands::Countdown countdown("Searching", milliseconds(1500), terminal.fd());
        countdown.tick();  // too soon: nothing
        EXPECT_EQ("", terminal.written());
        std::this_thread::sleep_for(milliseconds(300));
        countdown.tick();
        countdown.tick();  // the same second: written once
        EXPECT_EQ("\rSearching... 2 s \033[K", terminal.written());
    }
    EXPECT_EQ("\r\033[K", terminal.written());

    // A wait over before a quarter second shows nothing at all.
    { Commands::Countdown("Quick", milliseconds(100), terminal.fd()).wait_out(); }
    EXPECT_EQ("", terminal.written());
}

// A search shows its countdown until it ends, whichever way; the line is
// erased before anything else is printed.
TEST(SearchProgress, ShowsTheSearchUntilItEnds) {
    Terminal terminal;
    ASSERT_GE(terminal.fd(), 0);
    std::ostringstream out;
    std::ostringstream err;
    const Commands::Output output(out, err, false);
    Commands::SearchProgress progress(output, terminal.fd());
    progress.tick();  // no search yet: nothing
    progress.search_started(milliseconds(1500));
    std::this_thread::sleep_for(milliseconds(300));
    progress.tick();
    EXPECT_EQ("\rSearching for bridges... 2 s \033[K", terminal.written());
    progress.search_ended();
    EXPECT_EQ("\r\033[K", terminal.written());
    progress.tick();
    EXPECT_EQ("", terminal.written());
}

TEST(Countdown, WritesNothingWhereNoTerminalIs) {
    int pipe_ends[2];
    ASSERT_EQ(0, pipe(pipe_ends));
    const auto start = std::chrono::steady_clock::now();
    { Commands::Countdown("Searching", milliseconds(600), pipe_ends[1]).wait_out(); }
    // The wait lasts its length all the same.
    EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(600));
    close(pipe_ends[1]);
    char byte;
    EXPECT_EQ(0, read(pipe_ends[0], &byte, 1));
    close(pipe_ends[0]);
}

}  // namespace
