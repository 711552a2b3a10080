#include "support/sim_fixture.hpp"

#include <chrono>

#include "cli/identity.hpp"
#include "hue/address.hpp"
#include "json/parse.hpp"

namespace TestingSupport {
namespace {

void replace_all(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

}  // namespace

std::string this_user_id() { return Cli::make_user_id(); }

std::string SimFixture::address() const {
    return Http::url_host(m_ip) + ":" + std::to_string(m_port);
}

void SimFixture::start(const std::string& json, bool whitelisted) {
    TearDown();
    m_user = this_user_id();
    // The port is picked before the bridge exists, so fixtures can name it.
    for (int attempt = 0; attempt < 20; ++attempt) {
        m_port = m_fixed_port != 0 ? m_fixed_port : Sim::free_port(m_ip);
        m_bridge = std::make_shared<Sim::SimBridge>(Json::parse(expand(json)));
        if (whitelisted) {
            m_bridge->update([this](Json::Value& state) {
                auto& whitelist = state["config"]["whitelist"];
                if (!Json::has(whitelist, m_user)) {
                    whitelist[m_user] = Json::parse(
                        R"({"last use date":"2014-05-01T07:00:00","create date":"2014-04-01T06:00:00","name":"glowrig"})");
                }
            });
        }
        auto server = std::make_unique<Sim::Server>();
        if (m_tls) {
            server->add_redirect(m_ip, 0, server->add(m_ip, m_port, m_bridge, Sim::Transport::tls));
        } else {
            server->add(m_ip, m_port, m_bridge);
        }
        try {
            server->open();
            m_server = std::move(server);
            return;
        } catch (const std::exception&) {
            // Another process took the port in between; pick another one.
        }
    }
    FAIL() << "could not start the simulated bridge";
}

void SimFixture::TearDown() {
    if (m_server) m_server->close();
    m_server.reset();
}

RunResult SimFixture::run(std::vector<std::string> args, const Environment& env) {
    args.push_back("--bridge=" + std::string(m_tls ? "https://" : "") + address());
    return run_plain(args, env);
}

RunResult SimFixture::run_plain(const std::vector<std::string>& args, const Environment& env) {
    return run_in_process(args, env);
}

RunResult SimFixture::run_binary(std::vector<std::string> args, const Environment& env) {
    args.push_back("--bridge=" + std::string(m_tls ? "https://" : "") + address());
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
    replace_all(text, "{address}", address());
    return text;
}

std::vector<std::string> SimFixture::expanded(const std::vector<std::string>& lines) const {
    std::vector<std::string> result;
    for (const auto& line : lines) result.push_back(expand(line));
    return result;
}

std::string SimFixture::expect_listing(const std::string& word, const std::string& shape,
                                       const std::vector<std::string>& read,
                                       const std::string& printout) {
    bridge().set_listings(Sim::listings_from_text(shape));
    bridge().clear_requests();
    std::vector<std::string> requests = {"GET /api/{user}/" + word};
    for (const auto& id : read) requests.push_back("GET /api/{user}/" + word + "/" + id);
    const auto started = std::chrono::steady_clock::now();
    RunResult result = run({word});
    const auto elapsed = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(printout, result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(expanded(requests), request_lines());
    EXPECT_GE(elapsed, std::chrono::milliseconds(100) * read.size());

    bridge().clear_requests();
    result = run({word, "--json"});
    EXPECT_EQ(expanded(requests), request_lines());
    return result.output;
}

}  // namespace TestingSupport
