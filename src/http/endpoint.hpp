#ifndef GLOWRIG_HTTP_ENDPOINT_HPP_
#define GLOWRIG_HTTP_ENDPOINT_HPP_

#include <optional>
#include <string>
#include <string_view>

namespace Http {

// How a peer is reached: plain HTTP or HTTP over TLS.
enum class Scheme { Http, Https };

// Returns 80 for Http, 443 for Https.
unsigned short default_port(Scheme scheme);

// Where one request goes: a scheme, a numeric address (or, for a peer known by
// name, a host name), a port and a request target.
struct Endpoint {
    Scheme scheme = Scheme::Http;
    std::string host;  // IPv4 or IPv6 text, without brackets; a host name when by_name
    unsigned short port = 80;
    std::string target = "/";  // path and query, never empty
    // The user named this peer by a URL of the web: a host name is resolved
    // when connecting, and over TLS the chain must lead to the system's
    // certificate authorities and the certificate must name `host`. False for
    // bridges, which are numeric and identified by their own certificates.
    bool by_name = false;

    // The same peer: scheme, host and port (not the target) are equal.
    bool same_peer(const Endpoint& other) const {
        return scheme == other.scheme && host == other.host && port == other.port;
    }
};

// Returns the parts of an "http://" or "https://" URL whose host is a numeric
// IPv4 address or a bracketed IPv6 address, or nullopt for anything else
// (other schemes, host names, user info, zones, bad ports, blanks or control
// characters). A URL without a port gets its scheme's default port.
std::optional<Endpoint> parse_url(std::string_view url);

// As parse_url, but the host may also be a host name (letters, digits and
// hyphens in dot-separated labels, the last one not all digits); the endpoint
// is by_name, numeric or not.
std::optional<Endpoint> parse_named_url(std::string_view url);

// Returns the endpoint as a URL: "http://192.0.2.1/api", "https://[::1]:8443/".
// The port is left out when it is the scheme's default.
std::string url_text(const Endpoint& endpoint);

// Returns the Host field for the endpoint: the host (an IPv6 one bracketed),
// with ":port" unless it is the scheme's default.
std::string host_field(const Endpoint& endpoint);

}  // namespace Http

#endif  // GLOWRIG_HTTP_ENDPOINT_HPP_
