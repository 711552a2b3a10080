#include "discovery/selection.hpp"

#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include <boost/asio/io_context.hpp>

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
    bool asked = false;  // the settings ask this source
};

// Starts the source of `outcome` with `start`; a failure it throws is the
// source's failure.
void ask(Outcome& outcome, const std::function<void()>& start) {
    outcome.asked = true;
    try {
        start();
    } catch (...) {
        outcome.failure = std::current_exception();
    }
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

Bridges find_bridges(const Settings& settings) {
    boost::asio::io_context io;
    Outcome portal, upnp, mdns;
    if (!settings.portal.empty()) {
        ask(portal, [&] {
            find_portal_bridges(io, settings,
                                [&portal](Bridges bridges, std::exception_ptr failure) {
                                    portal.bridges = std::move(bridges);
                                    portal.failure = failure;
                                });
        });
    }
    ask(upnp, [&] {
        UPnP::find_upnp_devices(io, settings.ssdp, [&upnp](std::vector<UPnP::Device> devices) {
            try {
                upnp.bridges = UPnP::upnp_bridges(std::move(devices));
            } catch (...) {
                upnp.failure = std::current_exception();
            }
        });
    });
    if (settings.mdns.enabled) {
        ask(mdns, [&] {
            find_mdns_bridges(io, settings.mdns, settings.ssdp.window,
                              [&mdns](Bridges bridges) { mdns.bridges = std::move(bridges); });
        });
    }
    // The sources run side by side until the last has ended; each is bounded.
    io.run();
    // The first failure in the order portal, SSDP, mDNS counts.
    std::exception_ptr first_failure;
    for (const Outcome* outcome : {&portal, &upnp, &mdns}) {
        if (outcome->asked && !outcome->failure) return joined(mdns, upnp, portal);
        if (!first_failure) first_failure = outcome->failure;
    }
    if (!first_failure) return Bridges();
    std::rethrow_exception(first_failure);
}

Hue::Bridge select_bridge(const std::optional<std::string>& wanted, const Settings& settings) {
    if (wanted) {
        if (const auto address = Http::read_endpoint(*wanted, Hue::kBridgeAddress)) {
            return Hue::Bridge(std::string(), address->host, std::string(), address->port);
        }
    }
    return choose(find_bridges(settings), wanted);
}

}  // namespace Discovery
