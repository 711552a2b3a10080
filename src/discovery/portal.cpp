#include "discovery/portal.hpp"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

#include "http/exchange.hpp"
#include "hue/address.hpp"
#include "hue/client.hpp"
#include "json/parse.hpp"

namespace Discovery {
namespace {

// A bridge whose port is 443 answers through HTTPS.
constexpr unsigned short kHttpsPort = 443;

// The entry's "port" when it is an integer from 1 to 65535 (the parser reads
// every integer above -1 as an unsigned one).
std::optional<unsigned short> entry_port(const Json::Value& port) {
    if (!port.is_number_unsigned()) return std::nullopt;
    const auto value = port.get<std::uint64_t>();
    if (value < 1 || value > 65535) return std::nullopt;
    return static_cast<unsigned short>(value);
}

// The bridges the portal's reply lists.
std::vector<Hue::Bridge> read_portal_reply(const std::string& body) {
    // An error element fails as a bridge's does.
    const Json::Value reply = Hue::reject_errors(Json::parse(body, "the portal's reply"));
    std::vector<Hue::Bridge> bridges;
    if (!reply.is_array()) return bridges;
    bridges.reserve(reply.size());
    for (const auto& element : Json::as_array(reply)) {
        const Json::Value* mac_member = Json::find(element, "macaddress");
        const std::string mac = mac_member ? Json::as_string(*mac_member) : "";
        const std::string ip = Json::as_string(Json::at(element, "internalipaddress"));
        const std::string id = Json::as_string(Json::at(element, "id"));
        // "IPv4:PORT" and "[IPv6]:PORT" carry the port. Anything else, a
        // host name above all, is left out: it is never resolved.
        auto address = Http::read_endpoint(ip, Hue::kBridgeAddress);
        if (!address) continue;
        if (const Json::Value* port = Json::find(element, "port")) {
            const auto number = entry_port(*port);
            if (!number) continue;
            address->port = *number;
        }
        if (address->port == kHttpsPort) address->scheme = Hue::Scheme::Https;
        bridges.emplace_back(id, *address, mac);
    }
    return bridges;
}

}  // namespace

std::optional<Http::Endpoint> portal_endpoint(const std::string& portal) {
    auto endpoint = Http::read_endpoint(portal, kPortal);
    // host[:port] names the portal's usual path.
    if (endpoint && !endpoint->by_name) endpoint->target = "/api/nupnp";
    return endpoint;
}

void find_portal_bridges(boost::asio::io_context& io, const Settings& settings,
                         PortalHandler done) {
    const auto endpoint = portal_endpoint(settings.portal);
    if (!endpoint) {
        throw std::invalid_argument("Error: GLOWRIG_PORTAL must be host[:port] or an http(s) URL.");
    }
    // The portal's answer is only of use while the search lasts: the request
    // ends at most a second after the search window.
    Http::Options options;
    options.timeout =
        std::min(settings.client.timeout, settings.ssdp.window + std::chrono::milliseconds(1000));
    Http::start_exchange(io, *endpoint, Http::Method::Get, std::string(), options,
                         [done = std::move(done)](Http::Ending ending) {
                             std::vector<Hue::Bridge> bridges;
                             std::exception_ptr failure;
                             try {
                                 if (ending.failure) throw *ending.failure;
                                 bridges = read_portal_reply(ending.body);
                             } catch (...) {
                                 failure = std::current_exception();
                             }
                             done(std::move(bridges), failure);
                         });
}

}  // namespace Discovery
