#include "discovery/selection.hpp"

#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "discovery/bridge_merge.hpp"
#include "discovery/mdns_finder.hpp"
#include "discovery/portal.hpp"
#include "discovery/upnp.hpp"
#include "discovery/upnp_bridges.hpp"
#include "hue/address.hpp"

namespace Discovery {
namespace {

using Bridges = std::vector<Hue::Bridge>;

// The result of one discovery source: its bridges or its failure.
struct Outcome {
    Bridges bridges;
    std::exception_ptr failure;
    bool asked = true;  // false for a source the settings leave out
};

// The outcome of a source the settings leave out.
pplx::task<Outcome> left_out() {
    Outcome outcome;
    outcome.asked = false;
    return pplx::task_from_result(outcome);
}

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

// The bridges of the sources, one per bridge id; the sightings on the local
// network first, so that among equals theirs count.
Bridges joined(const Outcome& mdns, const Outcome& upnp, const Outcome& portal) {
    std::vector<Sighting> sightings;
    for (const Outcome* outcome : {&mdns, &upnp, &portal}) {
        for (const auto& bridge : outcome->bridges) {
            sightings.push_back({bridge, outcome != &portal});
        }
    }
    return merge_bridges(sightings);
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
        if (same_bridge_id(bridge.id(), *wanted)) return bridge;
    }
    throw std::runtime_error("Invalid bridge identifier.");
}

}  // namespace

AmbiguousBridge::AmbiguousBridge() : std::runtime_error("Unable to identify bridge.") {}

pplx::task<Bridges> find_bridges(const Settings& settings) {
    // In the order their failures are reported.
    std::vector<pplx::task<Outcome>> sources = {
        settings.portal.empty() ? left_out()
                                : settle([&settings] { return find_portal_bridges(settings); }),
        settle([&settings] {
            return UPnP::find_upnp_devices(settings.ssdp).then(UPnP::upnp_bridges);
        }),
        !settings.mdns.enabled ? left_out() : settle([&settings] {
            return find_mdns_bridges(settings.mdns, settings.ssdp.window);
        }),
    };
    return pplx::when_all(sources.begin(), sources.end())
        .then([](const std::vector<Outcome>& outcomes) {
            const Outcome& portal = outcomes[0];
            const Outcome& upnp = outcomes[1];
            const Outcome& mdns = outcomes[2];
            std::exception_ptr first_failure;
            for (const Outcome& outcome : outcomes) {
                if (outcome.asked && !outcome.failure) return joined(mdns, upnp, portal);
                if (!first_failure) first_failure = outcome.failure;
            }
            if (!first_failure) return Bridges();
            std::rethrow_exception(first_failure);
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

}  // namespace Discovery
