#include "discovery/portal.hpp"

#include <algorithm>
#include <chrono>
#include <string>

#include "hue/address.hpp"

namespace discovery {
namespace {

// A bridge whose port is 443 answers through HTTPS.
constexpr unsigned short kHttpsPort = 443;

}  // namespace

web::uri portal_url(const std::string& portal) {
    return web::uri("http://" + portal + "/api/nupnp");
}

pplx::task<std::vector<Hue::Bridge>> find_portal_bridges(const Settings& settings) {
    // The portal's answer is only of use while the search lasts: the request
    // ends at most a second after the search window.
    Hue::ClientConfig config = settings.client;
    config.timeout =
        std::min(config.timeout, settings.ssdp.window + std::chrono::milliseconds(1000));
    const Hue::Client client(portal_url(settings.portal), config);
    return client.read_strict(Hue::Method::Get).then([](const web::json::value& reply) {
        std::vector<Hue::Bridge> bridges;
        if (!reply.is_array()) return bridges;
        bridges.reserve(reply.size());
        for (const auto& element : reply.as_array()) {
            const std::string mac =
                element.has_field("macaddress") ? element.at("macaddress").as_string() : "";
            const std::string ip = element.at("internalipaddress").as_string();
            const std::string id = element.at("id").as_string();
            // "IPv4:PORT" and "[IPv6]:PORT" carry the port. Anything else, a
            // host name above all, is left out: it is never resolved.
            auto address = Hue::parse_bridge_address(ip);
            if (!address) continue;
            if (element.has_field("port")) {
                const auto& port = element.at("port");
                if (!port.is_integer() || port.as_integer() < 1 || port.as_integer() > 65535) {
                    continue;
                }
                address->port = static_cast<unsigned short>(port.as_integer());
            }
            const Hue::Scheme scheme =
                address->port == kHttpsPort ? Hue::Scheme::Https : Hue::Scheme::Http;
            bridges.emplace_back(id, address->ip, mac, address->port, scheme);
        }
        return bridges;
    });
}

}  // namespace discovery
