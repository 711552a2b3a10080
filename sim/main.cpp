// glowrig-sim: serves simulated bridges on loopback addresses, for trying
// glowrig and for scripting against it without hardware.
//
//   glowrig-sim [--log FILE] [--ssdp PORT] [--ssdp-all ADDRESS:PORT]
//               ADDRESS=FIXTURE.json [...]
//
// Each ADDRESS (for example 127.0.0.2) gets one bridge on port 80 whose state
// comes from the fixture file. Every request is appended to the log file (or
// written to standard error) as "METHOD PATH BODY". With --ssdp, each bridge
// also answers SSDP searches sent to ADDRESS:PORT with the location of its
// device description. With --ssdp-all, one responder on ADDRESS:PORT answers
// every search with the locations of all the bridges, one datagram each, as
// many bridges on one network would. Runs until interrupted.

#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include <cpprest/json.h>
#include <signal.h>

#include "sim/server.hpp"
#include "sim/sim_bridge.hpp"
#include "sim/ssdp_responder.hpp"

namespace {

int usage() {
    std::cerr << "usage: glowrig-sim [--log FILE] [--ssdp PORT] [--ssdp-all ADDRESS:PORT]\n"
                 "                   ADDRESS=FIXTURE.json [ADDRESS=FIXTURE.json ...]\n";
    return 2;
}

web::json::value read_fixture(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::stringstream text;
    text << in.rdbuf();
    return web::json::value::parse(text.str());
}

}  // namespace

int main(int argc, char** argv) {
    // Blocked before any thread starts, so only sigwait below sees them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::string log_path;
    sim::Server server;
    auto log_mutex = std::make_shared<std::mutex>();
    std::shared_ptr<std::ostream> log;
    int bridges = 0;
    int ssdp_port = 0;
    std::vector<std::unique_ptr<sim::SsdpResponder>> responders;
    std::string ssdp_all;                // ADDRESS:PORT of the responder for all bridges
    std::vector<std::string> locations;  // every bridge's device description
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            if (arg == "--log" && i + 1 < argc) {
                log = std::make_shared<std::ofstream>(argv[++i], std::ios::app);
                continue;
            }
            if (arg == "--ssdp" && i + 1 < argc) {
                ssdp_port = std::stoi(argv[++i]);
                continue;
            }
            if (arg == "--ssdp-all" && i + 1 < argc) {
                ssdp_all = argv[++i];
                continue;
            }
            const auto eq = arg.find('=');
            if (eq == std::string::npos) return usage();
            auto bridge = std::make_shared<sim::SimBridge>(read_fixture(arg.substr(eq + 1)));
            std::shared_ptr<std::ostream> sink =
                log ? log : std::shared_ptr<std::ostream>(&std::cerr, [](std::ostream*) {});
            bridge->set_observer([sink, log_mutex](const sim::LoggedRequest& r) {
                std::lock_guard<std::mutex> lock(*log_mutex);
                *sink << r.method << ' ' << r.path << ' ' << r.body << std::endl;
            });
            const std::string address = arg.substr(0, eq);
            server.add(address, 80, bridge);
            locations.push_back("http://" + address + "/description.xml");
            if (ssdp_port > 0) {
                responders.push_back(std::make_unique<sim::SsdpResponder>(
                    "http://" + address + "/description.xml", address));
                responders.back()->start(static_cast<unsigned short>(ssdp_port));
            }
            ++bridges;
        }
        if (bridges == 0) return usage();
        if (!ssdp_all.empty()) {
            const auto colon = ssdp_all.rfind(':');
            if (colon == std::string::npos) return usage();
            std::vector<std::string> replies;
            for (std::size_t n = 0; n < locations.size(); ++n) {
                replies.push_back(sim::ssdp_reply(
                    locations[n], "uuid:sim-all-" + std::to_string(n + 1) + "::upnp:rootdevice"));
            }
            responders.push_back(
                std::make_unique<sim::SsdpResponder>(locations.front(), ssdp_all.substr(0, colon)));
            responders.back()->set_replies(std::move(replies));
            responders.back()->start(
                static_cast<unsigned short>(std::stoi(ssdp_all.substr(colon + 1))));
        }
        server.open();
    } catch (const std::exception& e) {
        std::cerr << "glowrig-sim: " << e.what() << std::endl;
        return 1;
    }

    std::cerr << "glowrig-sim: serving " << bridges << " bridge(s); stop with Ctrl-C" << std::endl;
    int received = 0;
    sigwait(&signals, &received);
    server.close();
    return 0;
}
