#include "discovery/portal.hpp"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>

#include <boost/algorithm/string/predicate.hpp>
#include <cpprest/base_uri.h>

#include "http/exchange.hpp"
#include "hue/address.hpp"
#include "hue/client.hpp"
#include "json/value.hpp"

namespace Discovery {
namespace {

// A bridge whose port is 443 answers through HTTPS.
constexpr unsigned short kHttpsPort = 443;

}  // namespace

std::optional<Http::Endpoint> portal_endpoint(const std::string& portal) {
    if (portal.find("://") != std::string::npos) return Http::parse_named_url(portal);
    // The authority must be all of `portal`: no path, user info or query.
    const std::string url = "http://" + portal + "/api/nupnp";
    if (portal.find_first_of("/?#@") != std::string::npos || !web::uri::validate(url)) {
        return std::nullopt;
    }
    const web::uri uri(url);
    std::string host = uri.host();
    // web::uri reads ":0" and ":" as no port and clamps long ports: the
    // authority must read back as written.
    const int port = uri.port();
    if (host.empty() || port > 65535 ||
        !boost::algorithm::iequals(portal, host + (port > 0 ? ":" + std::to_string(port) : ""))) {
        return std::nullopt;
    }
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    Http::Endpoint endpoint;
    endpoint.host = host;
    endpoint.port = port > 0 ? static_cast<unsigned short>(port) : 80;
    endpoint.target = "/api/nupnp";
    return endpoint;
}

pplx::task<std::vector<Hue::Bridge>> find_portal_bridges(const Settings& settings) {
    const auto endpoint = portal_endpoint(settings.portal);
    if (!endpoint) {
        return pplx::task_from_exception<std::vector<Hue::Bridge>>(
            std::invalid_argument("Error: GLOWRIG_PORTAL must be host[:port] or an http(s) URL."));
    }
    // The portal's answer is only of use while the search lasts: the request
    // ends at most a second after the search window.
    Http::Options options;
    options.timeout =
        std::min(settings.client.timeout, settings.ssdp.window + std::chrono::milliseconds(1000));
    auto fetched = pplx::create_task([endpoint = *endpoint, options] {
        const std::string body =
            Http::exchange(endpoint, Http::Method::Get, std::string(), options);
        web::json::value reply = web::json::value::parse(body);
        // An error element fails the search with its text.
        Hue::reject_errors(Hue::read_json(body));
        return reply;
    });
    return fetched.then([](const web::json::value& reply) {
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

}  // namespace Discovery
