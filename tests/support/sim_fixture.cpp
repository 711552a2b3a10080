#include "support/sim_fixture.hpp"

#include <functional>

#include <cpprest/json.h>

#include "cli/identity.hpp"
#include "hue/text.hpp"

namespace testing_support {
namespace {

// An address 127.A.B.C from the test's name; A is at least 10 so the fixed
// addresses 127.0.0.x stay free for other uses.
std::string address_for(std::size_t seed) {
    return "127." + std::to_string(10 + seed % 240) + "." + std::to_string(seed / 240 % 250) + "." +
           std::to_string(1 + seed / 60000 % 250);
}

void replace_all(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

}  // namespace

std::string this_user_id() { return cli::make_user_id(); }

void SimFixture::start(const std::string& json, bool whitelisted) {
    TearDown();
    m_user = this_user_id();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::size_t seed =
        std::hash<std::string>()(std::string(info->test_suite_name()) + "." + info->name());
    for (int attempt = 0; attempt < 20; ++attempt, seed += 7919) {
        m_ip = address_for(seed);
        m_bridge = std::make_shared<sim::SimBridge>(web::json::value::parse(expand(json)));
        if (whitelisted) {
            m_bridge->update([this](web::json::value& state) {
                auto& whitelist = state["config"]["whitelist"];
                if (!whitelist.has_field(m_user)) {
                    whitelist[m_user] = web::json::value::parse(
                        R"({"last use date":"2014-05-01T07:00:00","create date":"2014-04-01T06:00:00","name":"glowrig"})");
                }
            });
        }
        auto server = std::make_unique<sim::Server>();
        server->add(m_ip, 80, m_bridge);
        try {
            server->open();
            m_server = std::move(server);
            return;
        } catch (const std::exception&) {
            // Another test process holds this address; try the next one.
        }
    }
    FAIL() << "could not start the simulated bridge";
}

void SimFixture::TearDown() {
    if (m_server) m_server->close();
    m_server.reset();
}

RunResult SimFixture::run(std::vector<std::string> args, const Environment& env) {
    args.push_back("--bridge=" + m_ip);
    return run_plain(args, env);
}

RunResult SimFixture::run_plain(const std::vector<std::string>& args, const Environment& env) {
    return run_glowrig(args, env);
}

std::vector<std::string> SimFixture::request_lines() const {
    std::vector<std::string> lines;
    for (const auto& r : m_bridge->requests()) {
        lines.push_back(r.method + " " + r.path + (r.body.empty() ? "" : " " + r.body));
    }
    return lines;
}

std::string SimFixture::expand(std::string text) const {
    replace_all(text, "{user}", m_user);
    replace_all(text, "{ip}", m_ip);
    return text;
}

std::vector<std::string> SimFixture::expanded(const std::vector<std::string>& lines) const {
    std::vector<std::string> result;
    for (const auto& line : lines) result.push_back(expand(line));
    return result;
}

}  // namespace testing_support
