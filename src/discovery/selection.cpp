#include "discovery/selection.hpp"

#include <exception>
#include <functional>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>

#include <boost/asio/ip/address.hpp>

#include "discovery/portal.hpp"
#include "discovery/upnp.hpp"
#include "discovery/upnp_bridges.hpp"
#include "hue/text.hpp"

namespace discovery {
namespace {

using Bridges = std::vector<Hue::Bridge>;

// The result of one discovery source: its bridges or its failure.
struct Outcome {
    Bridges bridges;
    std::exception_ptr failure;
};

// Starts a source; a source that fails before it has a task fails its task.
pplx::task<Outcome> settle(const std::function<pplx::task<Bridges>()>& source) {
    pplx::task<Bridges> task;
    try {
        task = source();
    } catch (...) {
        task = pplx::task_from_exception<Bridges>(std::current_exception());
    }
    return task.then([](pplx::task<Bridges> done) {
        Outcome outcome;
        try {
            outcome.bridges = done.get();
        } catch (...) {
            outcome.failure = std::current_exception();
        }
        return outcome;
    });
}

// The address of `text` when it is a numeric IPv4 or IPv6 address, with or
// without a port (see Hue::parse_bridge_address).
std::optional<Hue::BridgeAddress> ip_address(const std::string& text) {
    return Hue::parse_bridge_address(text);
}

Hue::Bridge choose(const Bridges& bridges, const std::optional<std::string>& wanted) {
    if (bridges.empty()) throw std::runtime_error("No bridges found.");
    if (!wanted) {
        if (bridges.size() == 1) return bridges[0];
        if (bridges.size() == 2 && bridges[0].ip() == bridges[1].ip()) return bridges[0];
        std::cout << "Multiple bridges found, please specify desired bridge with "
                     "--bridge=<Ip||Id>"
                  << std::endl;
        throw std::runtime_error("Unable to identify bridge.");
    }
    for (const auto& bridge : bridges) {
        if (bridge.id() == *wanted) return bridge;
    }
    throw std::runtime_error("Invalid bridge identifier.");
}

constexpr std::size_t kIdColumn = 20;

}  // namespace

pplx::task<Bridges> find_bridges(const Hue::ClientConfig& client_config) {
    std::vector<pplx::task<Outcome>> sources = {
        settle([&client_config] { return find_portal_bridges(client_config); }),
        settle([] { return UPnP::find_upnp_devices().then(UPnP::upnp_bridges); }),
    };
    return pplx::when_all(sources.begin(), sources.end())
        .then([](const std::vector<Outcome>& outcomes) {
            const Outcome& portal = outcomes[0];
            const Outcome& upnp = outcomes[1];
            if (portal.failure && upnp.failure) std::rethrow_exception(portal.failure);
            Bridges joined = portal.bridges;
            joined.insert(joined.end(), upnp.bridges.begin(), upnp.bridges.end());
            return joined;
        });
}

pplx::task<Hue::Bridge> select_bridge(const boost::program_options::variables_map& options,
                                      const Hue::ClientConfig& client_config) {
    std::optional<std::string> wanted;
    if (options.count("bridge")) {
        wanted = options["bridge"].as<std::string>();
        if (const auto ip = ip_address(*wanted)) {
            return pplx::task_from_result(
                Hue::Bridge(std::string(), ip->ip, std::string(), ip->port));
        }
    }
    return find_bridges(client_config).then([wanted](const Bridges& bridges) {
        return choose(bridges, wanted);
    });
}

pplx::task<void> list_bridges(const Hue::ClientConfig& client_config) {
    return find_bridges(client_config).then([](const Bridges& bridges) {
        std::cout << "Local Bridges" << std::endl << std::endl;
        std::cout << "Id                  "
                  << "IP Address     \t"
                  << "MAC Address" << std::endl;
        for (const auto& bridge : bridges) {
            const std::string id = bridge.id();
            std::cout << id;
            for (std::size_t i = Hue::code_points(id); i < kIdColumn; ++i) std::cout << " ";
            std::cout << bridge.ip() << "\t" << bridge.mac() << std::endl;
        }
    });
}

}  // namespace discovery
