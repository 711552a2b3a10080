#include "support/process.hpp"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli/entry.hpp"
#include "sim/sim_thread.hpp"

extern char** environ;

namespace TestingSupport {
namespace {

// Discovery of a child glowrig never leaves the machine: the portal and the
// SSDP and mDNS searches go to a loopback port where nothing listens (9, the
// discard port: no test server can take it, as they bind free ports above 1023).
const Environment kSafeDiscovery = {
    {"GLOWRIG_PORTAL", "127.0.0.1:9"},
    {"GLOWRIG_SSDP", "127.0.0.1:9"},
    {"GLOWRIG_MDNS", "127.0.0.1:9"},
    {"GLOWRIG_SSDP_WINDOW_MS", "300"},
    {"GLOWRIG_BRIDGE", ""},
};

std::vector<std::string> make_environment(const Environment& overrides) {
    Environment merged;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const auto eq = entry.find('=');
        if (eq != std::string::npos) merged[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& [key, value] : kSafeDiscovery) merged[key] = value;
    for (const auto& [key, value] : overrides) merged[key] = value;
    std::vector<std::string> result;
    for (const auto& [key, value] : merged) result.push_back(key + "=" + value);
    return result;
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const Environment& env, int timeout_seconds) {
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    std::vector<std::string> env_strings = make_environment(env);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& e : env_strings) envp.push_back(e.data());
    envp.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);

    RunResult result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.output, &result.errors};
    int open_count = 2;
    while (open_count > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timed_out = true;
            kill(pid, SIGKILL);
            break;
        }
        if (poll(fds, 2, static_cast<int>(left.count())) < 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open_count;
            }
        }
    }
    for (auto& fd : fds) {
        if (fd.fd >= 0) close(fd.fd);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!result.timed_out && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    return result;
}

TemporaryDirectory::TemporaryDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/glowrig-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

RunResult run_glowrig(const std::vector<std::string>& args, const Environment& env,
                      int timeout_seconds) {
    if (env.count("XDG_CONFIG_HOME"))
        return run_program(GLOWRIG_BINARY, args, env, timeout_seconds);
    const TemporaryDirectory config_home;
    Environment isolated = env;
    isolated["XDG_CONFIG_HOME"] = config_home.path();
    return run_program(GLOWRIG_BINARY, args, isolated, timeout_seconds);
}

RunResult run_in_process(const std::vector<std::string>& args, const Environment& env) {
    const TemporaryDirectory config_home;
    Environment isolated = env;
    if (!isolated.count("XDG_CONFIG_HOME")) isolated["XDG_CONFIG_HOME"] = config_home.path();
    Environment merged;
    for (const std::string& entry : make_environment(isolated)) {
        const auto eq = entry.find('=');
        merged[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    std::ostringstream out;
    std::ostringstream err;
    RunResult result;
    result.status = Cli::run_command_line(args, out, err, [&merged](const char* name) {
        const auto found = merged.find(name);
        return found != merged.end() ? found->second.c_str() : nullptr;
    });
    result.output = out.str();
    result.errors = err.str();
    return result;
}

std::size_t running_threads() {
    std::size_t count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name != Sim::kThreadName) ++count;
    }
    return count;
}

std::string read_test_data(const std::string& name) {
    std::ifstream in(std::string(GLOWRIG_TEST_DATA) + "/" + name, std::ios::binary);
    if (!in) throw std::runtime_error("missing test data file " + name);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string printed_time(const std::string& bridge_text) {
    std::tm time{};
    if (strptime(bridge_text.c_str(), "%Y-%m-%dT%H:%M:%S", &time) == nullptr) {
        throw std::runtime_error("not a bridge time: " + bridge_text);
    }
    char text[64];
    std::strftime(text, sizeof text, "%a %b %e %H:%M:%S %Y UTC", &time);
    return text;
}

}  // namespace TestingSupport
