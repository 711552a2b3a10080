// glowrig-sim: serves simulated bridges on loopback addresses, for trying
// glowrig and for scripting against it without hardware.
//
//   glowrig-sim [--log FILE] [--ssdp PORT] [--ssdp-all ADDRESS:PORT] [--mdns ADDRESS:PORT]
//               [--split] [--generate-names] [--newest] [--listings SHAPE]
//               [--redirect-from PORT] [--change-rate N] [--change-count N]
//               [--change-for SECONDS] [--rate-limit N]
//               [http://|https://]ADDRESS[:PORT]=FIXTURE.json [...]
//
// Each ADDRESS (for example 127.0.0.2, or 127.0.0.1:8080) gets one bridge
// whose state comes from the fixture file; without a port it listens on port
// 80 (443 for https://), port 0 picks a free port. An https:// bridge serves
// TLS with a certificate made at start whose CN is the fixture's bridge id in
// lower case (its configuration's "bridgeid", else the id made from its
// "mac"; a fixture with neither cannot be served over TLS). After
// --redirect-from PORT, each https:// bridge also listens on PORT of its
// address for plain HTTP and answers every request there with 301 to its
// https address, as the newest bridges do. Once every bridge listens, the
// program prints each bridge's address, one line each in argument order
// ("127.0.0.1:40123"; "https://127.0.0.1:40124 SHA256=AB:CD:..." with the
// certificate's fingerprint; "http://127.0.0.1:40125 -> https://..." for a
// redirecting port), so scripts can read the ports picked. Every request is
// appended to the log file (or written to standard error) as
// "METHOD PATH BODY #N", N numbering the connection it came on. With --ssdp,
// each bridge also answers SSDP searches sent to ADDRESS:PORT with the
// location of its device description. With --ssdp-all, one responder on
// ADDRESS:PORT answers every search with the locations of all the bridges, one
// datagram each, as many bridges on one network would. The bridges named after
// --generate-names ignore the user names they are asked for and grant names
// they generate, as current firmware does (the fixture member "generatenames"
// does the same for one bridge). The bridges named after --listings SHAPE
// give their listings of lights, groups and schedules in that shape: "whole"
// items as current firmware does, "names" alone as old firmware did, or
// "mixed" (the fixture member "listings" does the same for one bridge). With
// --split, the bridges named after it write each reply's status line and
// header in one segment and its body in a later one, with Nagle's algorithm
// on, as many small embedded servers do. With --mdns, one responder on
// ADDRESS:PORT answers one-shot mDNS queries for the bridge service with every
// bridge (its id, address and port) served over TLS or on port 80: bridges
// announce their HTTPS port, so a plain bridge on another port is not
// announced. The bridges named after --newest are of
// the newest generation: found through mDNS only, they answer no SSDP search
// and serve no device description. Every https:// bridge serves its event
// stream (GET /eventstream/clip/v2), with an event for each change of its
// lights, groups or sensors. The bridges named after --change-rate N change
// their lights by themselves N times a second (N a positive number, fractions
// allowed), one light after another, each change setting one light on with
// the next brightness; after --change-count N (0, the default: no end) the
// bridges named after it stop after N changes each, and after --change-for
// SECONDS (a positive number) they stop that long after their first change. An https:// bridge
// starts changing once it serves its first event stream, so that its watcher sees every change.
// Every https:// bridge also serves the newer interface (/clip/v2/resource/...) from the same
// state, its key being the hue-application-key field (see sim/clip_v2.hpp for the fixture's
// "v2" member); its events carry the properties that changed in that shape. The bridges named
// after --rate-limit N answer more than N requests a second of that interface with 429 and
// Retry-After: 1 (0, the default: no limit).
// Options given after the last bridge count as given before the first: they
// apply to every bridge, unless the same option is given before a bridge.
// Runs until interrupted.
// --help prints the usage on standard output.

#include <cmath>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <boost/asio/ip/address.hpp>
#include <signal.h>

#include "json/parse.hpp"
#include "sim/arguments.hpp"
#include "sim/change_driver.hpp"
#include "sim/mdns_responder.hpp"
#include "sim/server.hpp"
#include "sim/sim_bridge.hpp"
#include "sim/ssdp_responder.hpp"

namespace {

// Prints the usage to `out` and returns `status`: 0 when it was asked for
// (--help, -h), 2 for a command line that cannot be read.
int usage(std::ostream& out = std::cerr, int status = 2) {
    out << "usage: glowrig-sim [--log FILE] [--ssdp PORT] [--ssdp-all ADDRESS:PORT]\n"
           "                   [--mdns ADDRESS:PORT] [--split] [--generate-names] [--newest]\n"
           "                   [--listings whole|names|mixed] [--redirect-from PORT]\n"
           "                   [--change-rate N] [--change-count N] [--change-for SECONDS]\n"
           "                   [--rate-limit N]\n"
           "                   [http://|https://]ADDRESS[:PORT]=FIXTURE.json [...]\n";
    return status;
}

// Where one bridge listens.
struct Endpoint {
    std::string address;
    unsigned short port = 80;
    bool tls = false;
    std::size_t index = 0;                // the server's listener
    std::optional<std::size_t> redirect;  // the listener redirecting to it
};

// Reads "ADDRESS", "ADDRESS:PORT" (port 0..65535) or, for the --ssdp-all
// responder, also "[ADDRESS]:PORT"; throws std::invalid_argument otherwise.
Endpoint read_endpoint(const std::string& text, bool port_needed) {
    Endpoint endpoint;
    std::string port;
    const auto colon = text.rfind(':');
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string::npos || close + 1 != colon) {
            throw std::invalid_argument("bad address " + text);
        }
        endpoint.address = text.substr(1, close - 1);
        port = text.substr(colon + 1);
    } else if (colon != std::string::npos && text.find(':') == colon) {
        // One colon: IPv4 and port; a bare IPv6 address holds several.
        endpoint.address = text.substr(0, colon);
        port = text.substr(colon + 1);
    } else {
        endpoint.address = text;
    }
    boost::system::error_code error;
    const auto ip = boost::asio::ip::make_address(endpoint.address, error);
    if (error) throw std::invalid_argument("bad address " + text);
    endpoint.address = ip.to_string();
    if (port.empty()) {
        if (port_needed || (colon != std::string::npos && ip.is_v4())) {
            throw std::invalid_argument("bad address " + text);
        }
        return endpoint;
    }
    if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos ||
        std::stoul(port) > 65535) {
        throw std::invalid_argument("bad port in " + text);
    }
    endpoint.port = static_cast<unsigned short>(std::stoul(port));
    return endpoint;
}

// "address:port", the address of an IPv6 endpoint bracketed.
std::string endpoint_text(const std::string& address, unsigned short port) {
    const std::string host = address.find(':') != std::string::npos ? "[" + address + "]" : address;
    return host + ":" + std::to_string(port);
}

// The number `text` gives when it is a finite positive decimal number.
std::optional<double> positive_number(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) {
        return std::nullopt;
    }
    std::size_t used = 0;
    double number = 0;
    try {
        number = std::stod(text, &used);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (used != text.size() || !std::isfinite(number) || number <= 0) return std::nullopt;
    return number;
}

// The count `text` gives when it is a whole number of at most 18 digits.
std::optional<long> count_number(const std::string& text) {
    if (text.empty() || text.size() > 18 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stol(text);
}

Json::Value read_fixture(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::stringstream text;
    text << in.rdbuf();
    try {
        return Json::parse(text.str(), path);
    } catch (const Json::ParseError& e) {
        // The parser's line ("Error: PATH is not JSON (line 1, column 2).")
        // without its prefix, as the simulator's own lines have none.
        const std::string line = e.what();
        throw std::runtime_error(line.rfind("Error: ", 0) == 0 ? line.substr(7) : line);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Blocked before any thread starts, so only sigwait below sees them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    Sim::Server server;
    auto log_mutex = std::make_shared<std::mutex>();
    std::shared_ptr<std::ostream> log;
    std::vector<Endpoint> endpoints;  // where each bridge listens, in argument order
    int ssdp_port = 0;
    std::vector<std::unique_ptr<Sim::SsdpResponder>> responders;
    std::string ssdp_all;  // ADDRESS:PORT of the responder for all bridges
    std::string mdns;      // ADDRESS:PORT of the mDNS responder
    std::unique_ptr<Sim::MdnsResponder> mdns_responder;
    bool generate_names = false;            // set by --generate-names for the bridges after it
    bool newest = false;                    // set by --newest for the bridges after it
    std::optional<Sim::Listings> listings;  // set by --listings for the bridges after it
    std::optional<unsigned short> redirect_from;           // set by --redirect-from
    std::vector<std::shared_ptr<Sim::SimBridge>> bridges;  // in argument order
    std::vector<std::string> model_ids;                    // each bridge's config "modelid"
    std::optional<double> change_rate;  // set by --change-rate for the bridges after it
    long change_count = 0;              // set by --change-count for the bridges after it
    long rate_limit = 0;                // set by --rate-limit for the bridges after it
    double change_seconds = 0;          // set by --change-for for the bridges after it
    struct Changes {
        std::shared_ptr<Sim::SimBridge> bridge;
        Sim::ChangePlan plan;
    };
    std::vector<Changes> changes;                             // what each driver is to do
    std::vector<std::unique_ptr<Sim::ChangeDriver>> drivers;  // started once all listen
    try {
        const std::vector<std::string> args =
            Sim::options_first(std::vector<std::string>(argv + 1, argv + argc));
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& arg = args[i];
            if (arg == "--help" || arg == "-h") return usage(std::cout, 0);
            if (arg == "--log" && i + 1 < args.size()) {
                log = std::make_shared<std::ofstream>(args[++i], std::ios::app);
                continue;
            }
            if (arg == "--ssdp" && i + 1 < args.size()) {
                ssdp_port = std::stoi(args[++i]);
                continue;
            }
            if (arg == "--ssdp-all" && i + 1 < args.size()) {
                ssdp_all = args[++i];
                continue;
            }
            if (arg == "--mdns" && i + 1 < args.size()) {
                mdns = args[++i];
                continue;
            }
            if (arg == "--newest") {
                newest = true;
                continue;
            }
            if (arg == "--generate-names") {
                generate_names = true;
                continue;
            }
            if (arg == "--listings" && i + 1 < args.size()) {
                listings = Sim::listings_from_text(args[++i]);
                continue;
            }
            if (arg == "--redirect-from" && i + 1 < args.size()) {
                const std::string port = args[++i];
                if (port.empty() || port.size() > 5 ||
                    port.find_first_not_of("0123456789") != std::string::npos ||
                    std::stoul(port) > 65535) {
                    return usage();
                }
                redirect_from = static_cast<unsigned short>(std::stoul(port));
                continue;
            }
            if (arg == "--change-rate" && i + 1 < args.size()) {
                change_rate = positive_number(args[++i]);
                if (!change_rate) return usage();
                continue;
            }
            if (arg == "--change-for" && i + 1 < args.size()) {
                const std::optional<double> seconds = positive_number(args[++i]);
                if (!seconds) return usage();
                change_seconds = *seconds;
                continue;
            }
            if (arg == "--change-count" && i + 1 < args.size()) {
                const std::optional<long> count = count_number(args[++i]);
                if (!count) return usage();
                change_count = *count;
                continue;
            }
            if (arg == "--rate-limit" && i + 1 < args.size()) {
                const std::optional<long> limit = count_number(args[++i]);
                if (!limit || *limit > 1000000) return usage();
                rate_limit = *limit;
                continue;
            }
            if (arg == "--split") {
                server.split_replies();
                continue;
            }
            const auto eq = arg.find('=');
            if (eq == std::string::npos) return usage();
            const std::string path = arg.substr(eq + 1);
            const Json::Value fixture = read_fixture(path);
            auto bridge = std::make_shared<Sim::SimBridge>(fixture);
            if (generate_names) bridge->set_generate_names(true);
            if (listings) bridge->set_listings(*listings);
            if (newest) bridge->set_newest(true);
            bridge->set_rate_limit(static_cast<int>(rate_limit));
            const Json::Value state = bridge->state();
            const Json::Value* model_id = Json::find(Json::at(state, "config"), "modelid");
            model_ids.push_back(model_id != nullptr && model_id->is_string()
                                    ? Json::as_string(*model_id)
                                    : std::string());
            bridges.push_back(bridge);
            std::shared_ptr<std::ostream> sink =
                log ? log : std::shared_ptr<std::ostream>(&std::cerr, [](std::ostream*) {});
            bridge->set_observer([sink, log_mutex](const Sim::LoggedRequest& r) {
                std::lock_guard<std::mutex> lock(*log_mutex);
                *sink << r.method << ' ' << r.path << ' ' << r.body << " #" << r.connection
                      << std::endl;
            });
            std::string where = arg.substr(0, eq);
            bool tls = false;
            if (where.rfind("https://", 0) == 0) {
                tls = true;
                where = where.substr(8);
            } else if (where.rfind("http://", 0) == 0) {
                where = where.substr(7);
            }
            Endpoint endpoint = read_endpoint(where, false);
            if (tls && where.find(':') == std::string::npos) endpoint.port = 443;
            if (tls && where.front() != '[' && where.find(':') != where.rfind(':')) {
                endpoint.port = 443;  // a bare IPv6 address
            }
            if (tls && bridge->certificate_name().empty()) {
                throw std::invalid_argument(
                    path +
                    " cannot be served over TLS: its configuration has neither "
                    "\"bridgeid\" nor \"mac\" to name the certificate");
            }
            endpoint.tls = tls;
            // Over TLS the changes wait for a watcher's stream.
            if (change_rate) {
                changes.push_back({bridge, {*change_rate, change_count, change_seconds, tls}});
            }
            endpoint.index = server.add(endpoint.address, endpoint.port, bridge,
                                        tls ? Sim::Transport::tls : Sim::Transport::plain);
            if (tls && redirect_from) {
                endpoint.redirect =
                    server.add_redirect(endpoint.address, *redirect_from, endpoint.index);
            }
            endpoints.push_back(endpoint);
        }
        if (endpoints.empty()) return usage();
        server.open();
        for (const Changes& c : changes) {
            drivers.push_back(std::make_unique<Sim::ChangeDriver>(c.bridge, c.plan));
        }

        // The ports are known now: the locations can name them.
        std::vector<std::string> locations;  // every SSDP bridge's device description
        std::vector<Sim::MdnsService> services;
        for (std::size_t n = 0; n < endpoints.size(); ++n) {
            endpoints[n].port = server.port(endpoints[n].index);
            const std::string& address = endpoints[n].address;
            const std::string id = bridges[n]->bridge_id();
            const std::string tail = id.size() > 6 ? id.substr(id.size() - 6) : id;
            // Bridges announce their HTTPS port; a plain bridge is announced
            // only on port 80, the one port read as plain HTTP.
            if (endpoints[n].tls || endpoints[n].port == 80) {
                services.push_back({"Bridge - " + tail, "bridge-" + std::to_string(n + 1), address,
                                    endpoints[n].port, id, model_ids[n]});
            }
            if (bridges[n]->newest()) continue;
            locations.push_back("http://" + endpoint_text(address, endpoints[n].port) +
                                "/description.xml");
            if (ssdp_port > 0) {
                responders.push_back(
                    std::make_unique<Sim::SsdpResponder>(locations.back(), address));
                responders.back()->start(static_cast<unsigned short>(ssdp_port));
            }
        }
        if (!mdns.empty()) {
            const Endpoint at = read_endpoint(mdns, true);
            mdns_responder = std::make_unique<Sim::MdnsResponder>(services, at.address);
            mdns_responder->start(at.port);
        }
        if (!ssdp_all.empty() && !locations.empty()) {
            const Endpoint all = read_endpoint(ssdp_all, true);
            std::vector<std::string> replies;
            for (std::size_t n = 0; n < locations.size(); ++n) {
                replies.push_back(Sim::ssdp_reply(
                    locations[n], "uuid:sim-all-" + std::to_string(n + 1) + "::upnp:rootdevice"));
            }
            responders.push_back(
                std::make_unique<Sim::SsdpResponder>(locations.front(), all.address));
            responders.back()->set_replies(std::move(replies));
            responders.back()->start(all.port);
        }
    } catch (const std::exception& e) {
        std::cerr << "glowrig-sim: " << e.what() << std::endl;
        return 1;
    }

    for (const Endpoint& endpoint : endpoints) {
        const std::string text = endpoint_text(endpoint.address, endpoint.port);
        if (!endpoint.tls) {
            std::cout << text << '\n';
            continue;
        }
        std::cout << "https://" << text << " SHA256=" << server.fingerprint(endpoint.index) << '\n';
        if (endpoint.redirect) {
            std::cout << "http://"
                      << endpoint_text(endpoint.address, server.port(*endpoint.redirect))
                      << " -> https://" << text << '\n';
        }
    }
    std::cout.flush();
    std::cerr << "glowrig-sim: serving " << endpoints.size() << " bridge(s); stop with Ctrl-C"
              << std::endl;
    int received = 0;
    sigwait(&signals, &received);
    drivers.clear();
    server.close();
    return 0;
}
