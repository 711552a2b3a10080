#include "discovery/selection.hpp"

#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "discovery/portal.hpp"
#include "discovery/upnp.hpp"
#include "discovery/upnp_bridges.hpp"
#include "hue/address.hpp"

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

Hue::Bridge choose(const Bridges& bridges, const std::optional<std::string>& wanted) {
    if (bridges.empty()) throw std::runtime_error("No bridges found.");
    if (!wanted) {
        if (bridges.size() == 1) return bridges[0];
        if (bridges.size() == 2 && bridges[0].ip() == bridges[1].ip() &&
            bridges[0].port() == bridges[1].port()) {
            return bridges[0];
        }
        throw AmbiguousBridge();
    }
    for (const auto& bridge : bridges) {
        if (bridge.id() == *wanted) return bridge;
    }
    throw std::runtime_error("Invalid bridge identifier.");
}

}  // namespace

AmbiguousBridge::AmbiguousBridge() : std::runtime_error("Unable to identify bridge.") {}

pplx::task<Bridges> find_bridges(const Settings& settings) {
    std::vector<pplx::task<Outcome>> sources = {
        settle([&settings] { return find_portal_bridges(settings); }),
        settle([&settings] {
            return UPnP::find_upnp_devices(settings.ssdp).then(UPnP::upnp_bridges);
        }),
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

pplx::task<Hue::Bridge> select_bridge(const std::optional<std::string>& wanted,
                                      const Settings& settings) {
    if (wanted) {
        if (const auto address = Hue::parse_bridge_address(*wanted)) {
            return pplx::task_from_result(
                Hue::Bridge(std::string(), address->ip, std::string(), address->port));
        }
    }
    return find_bridges(settings).then(
        [wanted](const Bridges& bridges) { return choose(bridges, wanted); });
}

}  // namespace discovery
