#include "discovery/selection.hpp"

#include <chrono>
#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>

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

// How often a search's countdown is ticked.
constexpr std::chrono::milliseconds kTick(200);

// Starts the source of `outcome` with `start`, counting it in `running`
// until it ends; a failure it throws is the source's failure.
void ask(Outcome& outcome, std::size_t& running, const std::function<void()>& start) {
    outcome.asked = true;
    ++running;
    try {
        start();
    } catch (...) {
        outcome.failure = std::current_exception();
        --running;
    }
}

// Calls `tick` every kTick on `timer`'s io_context until `running` is 0, the
// timer is cancelled or `until` has come: the sources end by then, and a
// countdown never keeps the search going.
void keep_ticking(boost::asio::steady_timer& timer, const std::size_t& running,
                  std::chrono::steady_clock::time_point until, const std::function<void()>& tick) {
    timer.expires_after(kTick);
    timer.async_wait([&timer, &running, until, &tick](const boost::system::error_code& error) {
        if (error || running == 0 || std::chrono::steady_clock::now() >= until) return;
        tick();
        keep_ticking(timer, running, until, tick);
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
        const Http::Endpoint& first = bridges[0].endpoint();
        if (bridges.size() == 2 && first.host == bridges[1].endpoint().host &&
            first.port == bridges[1].endpoint().port) {
            return bridges[0];
        }
        throw AmbiguousBridge(bridges);
    }
    for (const auto& bridge : bridges) {
        if (same_bridge_id(bridge.id(), *wanted)) return bridge;
    }
    throw std::runtime_error("Invalid bridge identifier.");
}

}  // namespace

AmbiguousBridge::AmbiguousBridge(std::vector<Hue::Bridge> found)
    : std::runtime_error("Unable to identify bridge."), m_found(std::move(found)) {}

Bridges find_bridges(const Settings& settings, const std::function<void()>& tick) {
    boost::asio::io_context io;
    boost::asio::steady_timer ticker(io);
    std::size_t running = 0;  // the sources started and not yet ended
    const auto ended = [&running, &ticker] {
        if (--running == 0) ticker.cancel();
    };
    Outcome portal, upnp, mdns;
    if (!settings.portal.empty()) {
        ask(portal, running, [&] {
            find_portal_bridges(io, settings,
                                [&portal, &ended](Bridges bridges, std::exception_ptr failure) {
                                    portal.bridges = std::move(bridges);
                                    portal.failure = failure;
                                    ended();
                                });
        });
    }
    ask(upnp, running, [&] {
        UPnP::find_upnp_devices(io, settings.ssdp,
                                [&upnp, &ended](std::vector<UPnP::Device> devices) {
                                    try {
                                        upnp.bridges = UPnP::upnp_bridges(std::move(devices));
                                    } catch (...) {
                                        upnp.failure = std::current_exception();
                                    }
                                    ended();
                                });
    });
    if (settings.mdns.enabled) {
        ask(mdns, running, [&] {
            find_mdns_bridges(io, settings.mdns, settings.ssdp.window,
                              [&mdns, &ended](Bridges bridges) {
                                  mdns.bridges = std::move(bridges);
                                  ended();
                              });
        });
    }
    if (tick && running > 0) {
        // The portal's request ends a second after the window at the latest.
        const auto until =
            std::chrono::steady_clock::now() + settings.ssdp.window + std::chrono::seconds(2);
        keep_ticking(ticker, running, until, tick);
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

Hue::Bridge select_bridge(const std::optional<std::string>& wanted, const Settings& settings,
                          const std::function<void()>& tick) {
    return choose(find_bridges(settings, tick), wanted);
}

}  // namespace Discovery
