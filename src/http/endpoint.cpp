#include "http/endpoint.hpp"

#include <boost/algorithm/string/predicate.hpp>
#include <boost/asio/ip/address.hpp>
#include <cpprest/base_uri.h>

namespace Http {

unsigned short default_port(Scheme scheme) { return scheme == Scheme::Https ? 443 : 80; }

std::optional<Endpoint> parse_url(std::string_view url) {
    const std::string text(url);
    if (!web::uri::validate(text)) return std::nullopt;  // also refuses blanks and controls
    const web::uri uri(text);
    Scheme scheme;
    if (uri.scheme() == "http") {
        scheme = Scheme::Http;
    } else if (uri.scheme() == "https") {
        scheme = Scheme::Https;
    } else {
        return std::nullopt;
    }
    if (uri.host().empty()) return std::nullopt;
    // web::uri reads ":0" and ":" as no port and clamps long ports, and drops
    // an empty user info: the authority as written must read back unchanged.
    const int port = uri.port();
    const std::string authority = uri.host() + (port > 0 ? ":" + std::to_string(port) : "");
    const std::size_t start = uri.scheme().size() + 3;
    if (port > 65535 ||
        !boost::algorithm::iequals(text.substr(start, text.find_first_of("/?#", start) - start),
                                   authority)) {
        return std::nullopt;
    }
    std::string host = uri.host();
    const bool bracketed = host.front() == '[' && host.back() == ']';
    if (bracketed) host = host.substr(1, host.size() - 2);
    boost::system::error_code ec;
    const auto address = boost::asio::ip::make_address(host, ec);
    // A zone ("%eth0") would make the address depend on this machine.
    if (ec || address.is_v6() != bracketed || host.find('%') != std::string::npos) {
        return std::nullopt;
    }
    const std::string query = uri.query();
    std::string target = uri.path() + (query.empty() ? "" : "?" + query);
    if (target.empty()) target = "/";
    return Endpoint{scheme, address.to_string(),
                    static_cast<unsigned short>(port > 0 ? port : default_port(scheme)), target};
}

std::string host_field(const Endpoint& endpoint) {
    const bool v6 = endpoint.host.find(':') != std::string::npos;
    std::string field = v6 ? "[" + endpoint.host + "]" : endpoint.host;
    if (endpoint.port != default_port(endpoint.scheme)) {
        field += ":" + std::to_string(endpoint.port);
    }
    return field;
}

std::string url_text(const Endpoint& endpoint) {
    return (endpoint.scheme == Scheme::Https ? "https://" : "http://") + host_field(endpoint) +
           endpoint.target;
}

}  // namespace Http
