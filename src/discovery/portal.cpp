#include "discovery/portal.hpp"

#include <string>

#include "hue/address.hpp"

namespace discovery {

web::uri portal_url(const std::string& portal) {
    return web::uri("http://" + portal + "/api/nupnp");
}

pplx::task<std::vector<Hue::Bridge>> find_portal_bridges(const Settings& settings) {
    const Hue::Client client(portal_url(settings.portal), settings.client);
    return client.read_strict(Hue::Method::Get).then([](const web::json::value& reply) {
        std::vector<Hue::Bridge> bridges;
        if (!reply.is_array()) return bridges;
        bridges.reserve(reply.size());
        for (const auto& element : reply.as_array()) {
            const std::string mac = element.at("macaddress").as_string();
            const std::string ip = element.at("internalipaddress").as_string();
            const std::string id = element.at("id").as_string();
            // "IPv4:PORT" and "[IPv6]:PORT" carry the port; other texts are kept as they are.
            if (const auto address = Hue::parse_bridge_address(ip)) {
                bridges.emplace_back(id, address->ip, mac, address->port);
            } else {
                bridges.emplace_back(id, ip, mac);
            }
        }
        return bridges;
    });
}

}  // namespace discovery
