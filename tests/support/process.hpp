#ifndef GLOWRIG_TESTS_SUPPORT_PROCESS_HPP_
#define GLOWRIG_TESTS_SUPPORT_PROCESS_HPP_

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace TestingSupport {

struct RunResult {
    std::string output;  // everything the program wrote to stdout
    std::string errors;  // everything it wrote to stderr
    int status = -1;     // exit status; -1 when killed or not exited
    bool timed_out = false;
};

// Environment settings for a run: a value sets the variable, an absent key
// keeps the test's own environment. Discovery (portal, SSDP, mDNS) is always aimed at loopback
// addresses where nothing answers, GLOWRIG_BRIDGE is unset and, unless the
// caller sets XDG_CONFIG_HOME, it is a new empty directory removed after the
// run: no run reads or writes the real credentials file.
using Environment = std::map<std::string, std::string>;

// A new empty directory under the system's temporary directory, removed with
// everything in it on destruction.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// Runs the glowrig binary with `args`, waits at most `timeout_seconds` and
// collects its output.
RunResult run_glowrig(const std::vector<std::string>& args, const Environment& env = {},
                      int timeout_seconds = 60);

// Runs the command line `args` in this process, as the glowrig binary would
// run it with the same environment (see Environment), and collects what it
// printed. For commands that end by themselves: a run that waits for a
// signal or measures its own process belongs in run_glowrig.
RunResult run_in_process(const std::vector<std::string>& args, const Environment& env = {});

// Runs `program` with `args` (args[0] is not the program name).
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const Environment& env, int timeout_seconds);

// The number of threads this process runs now, leaving out those of a
// simulator it hosts.
std::size_t running_threads();

// Reads a file of tests/data into a string.
std::string read_test_data(const std::string& name);

// A time as a bridge writes it ("2014-05-01T07:05:00", a trailing "Z" or not)
// as the text printouts show it ("%c UTC" of the C locale).
std::string printed_time(const std::string& bridge_text);

}  // namespace TestingSupport

#endif  // GLOWRIG_TESTS_SUPPORT_PROCESS_HPP_
