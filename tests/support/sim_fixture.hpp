#ifndef GLOWRIG_TESTS_SUPPORT_SIM_FIXTURE_HPP_
#define GLOWRIG_TESTS_SUPPORT_SIM_FIXTURE_HPP_

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/server.hpp"
#include "sim/sim_bridge.hpp"
#include "support/process.hpp"

namespace TestingSupport {

// Hosts one simulated bridge in the test process on 127.0.0.1 and a free port
// of its own (so tests may run in parallel, without root) and runs the glowrig
// binary against it.
class SimFixture : public ::testing::Test {
protected:
    void TearDown() override;

    // Starts the bridge with the fixture `json` (see Sim::SimBridge), in which
    // "{ip}", "{address}" and "{user}" are replaced first. Unless `whitelisted` is false,
    // this machine's user id is put on its whitelist. A second call replaces
    // the bridge.
    void start(const std::string& json, bool whitelisted = true);

    // Serves the next bridge started on `ip` (127.0.0.1 unless set).
    void serve_on(const std::string& ip) { m_ip = ip; }
    // Serves the next bridge started on `port` instead of a free one (ports
    // below 1024 need root).
    void serve_on_port(unsigned short port) { m_fixed_port = port; }

    // Serves the next bridge started over TLS, and a plain port beside it
    // that redirects every request to https; run() then names it
    // "https://{address}".
    void serve_tls() { m_tls = true; }

    // Over TLS: the fingerprint of the bridge's certificate, the plain port
    // that redirects, and a new certificate naming `common_name` (empty: the
    // bridge's id), which closes the bridge's connections as a restart does.
    std::string fingerprint() const { return m_server->fingerprint(0); }
    std::string certificate_pem() const { return m_server->certificate_pem(0); }
    unsigned short redirect_port() const { return m_server->port(1); }
    void renew_certificate(const std::string& common_name = std::string()) {
        m_server->renew_certificate(0, common_name);
    }

    // Runs glowrig in this process (see run_in_process) with `args` followed
    // by --bridge={address}.
    RunResult run(std::vector<std::string> args, const Environment& env = {});

    // Runs glowrig in this process with exactly `args`.
    RunResult run_plain(const std::vector<std::string>& args, const Environment& env = {});

    // Runs the glowrig binary with `args` followed by --bridge={address}.
    RunResult run_binary(std::vector<std::string> args, const Environment& env = {});

    // The requests the bridge received, one line each: "METHOD PATH" or
    // "METHOD PATH BODY".
    std::vector<std::string> request_lines() const;

    // `text` with "{user}" replaced by the user id, "{ip}" by the bridge's IP
    // address and "{address}" by its address with the port ("127.0.0.1:40123").
    std::string expand(std::string text) const;
    // Each of `lines` expanded.
    std::vector<std::string> expanded(const std::vector<std::string>& lines) const;

    // Serves listings of `shape` ("whole", "names" or "mixed"), runs the
    // listing command `word` ("lights") and checks `printout`, status 0, the
    // requests (the listing, then each item of `read` alone, in order) and a
    // pause of at least 100 ms before each such read; then runs it with
    // --json and checks the same requests. Returns the JSON printout.
    std::string expect_listing(const std::string& word, const std::string& shape,
                               const std::vector<std::string>& read, const std::string& printout);

    const std::string& ip() const { return m_ip; }
    unsigned short port() const { return m_port; }
    // "ip:port", the address an IPv6 bridge in brackets.
    std::string address() const;
    const std::string& user() const { return m_user; }
    Sim::SimBridge& bridge() { return *m_bridge; }

private:
    std::string m_ip = "127.0.0.1";
    bool m_tls = false;
    unsigned short m_port = 0;
    unsigned short m_fixed_port = 0;  // 0: a free port
    std::string m_user;
    std::shared_ptr<Sim::SimBridge> m_bridge;
    std::unique_ptr<Sim::Server> m_server;
};

// The user id glowrig computes on this machine, as UTF-8.
std::string this_user_id();

}  // namespace TestingSupport

#endif  // GLOWRIG_TESTS_SUPPORT_SIM_FIXTURE_HPP_
