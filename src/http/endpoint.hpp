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

    // Written as an address alone: HTTPS on 443 is tried first, and plain
    // HTTP on 80 when nothing listens there (see BareAddress::https_first).
    bool bare = false;
};

// What an IP address alone ("192.0.2.1", "::1") means where it is allowed.
enum class BareAddress {
    refused,
    plain_http,   // plain HTTP on port 80
    https_first,  // HTTPS on 443, `bare`: plain HTTP on 80 when nothing listens there
};

// The forms of address one source may write; read_endpoint refuses the others.
struct EndpointForms {
    // "http://HOST[:PORT]" and "https://HOST[:PORT]" (the scheme in any case),
    // the HOST an IPv4 address or an IPv6 address in brackets, without a zone
    // or user info; the port 1 to 65535 written without leading zeros, the
    // scheme's default port when none is named.
    bool urls = false;
    bool only_plain = false;  // of the URLs, "http://" alone
    // A URL's host may be a host name (letters, digits and hyphens in
    // dot-separated labels, the last one not all digits); every URL read is
    // then by_name. An address without a scheme is never by_name.
    bool names = false;
    // A URL may go on with a path and a query (a fragment is dropped);
    // otherwise nothing may follow its authority.
    bool paths = false;
    // "IPv4:PORT" and "[IPv6]:PORT" (with `names`, also "NAME:PORT"): plain
    // HTTP on that port. All of a text with two colons or more is an IPv6
    // address: "::1:80" is the address ::1:80, not ::1 with a port.
    bool host_port = false;
    BareAddress bare = BareAddress::refused;  // an address (with `names`, a name) alone
};

// Reads `text` as one of the forms `forms` allows: the scheme, the host (an IP
// address in its canonical text, IPv6 without brackets; a host name in lower
// case), the port and the target ("/" when there is no path). nullopt for
// anything else: other forms and schemes, blanks and control characters, bad
// ports, brackets around anything but an IPv6 address.
std::optional<Endpoint> read_endpoint(std::string_view text, const EndpointForms& forms);

// A numeric http(s) URL with a path: where a bridge redirects, where a device
// is described.
constexpr EndpointForms kNumericUrl{.urls = true, .paths = true};

// An http(s) URL of the web, its host a name or numeric.
constexpr EndpointForms kWebUrl{.urls = true, .names = true, .paths = true};

// Returns the endpoint as a URL: "http://192.0.2.1/api", "https://[::1]:8443/".
// The port is left out when it is the scheme's default.
std::string url_text(const Endpoint& endpoint);

// Returns where the endpoint answers as --bridge reads it, so that
// read_endpoint with Hue's bridge forms reads back the same host, port and
// scheme and never `bare`: "https://ip" for HTTPS on 443, "https://ip:port" on
// any other port, "ip:port" for plain HTTP on any port, 80 included (the ip
// alone would mean HTTPS first). An IPv6 address is bracketed. The target is
// left out.
std::string location_text(const Endpoint& endpoint);

// Returns `host` as the host of a URL: an IPv6 address in brackets.
std::string url_host(const std::string& host);

// Returns the Host field for the endpoint: the host (an IPv6 one bracketed),
// with ":port" unless it is the scheme's default.
std::string host_field(const Endpoint& endpoint);

// Returns the peer as lines about its connection name it, whatever the
// scheme: the host (an IPv6 one bracketed) and always the port,
// "192.0.2.10:443", "[::1]:80".
std::string peer_text(const Endpoint& endpoint);

}  // namespace Http

#endif  // GLOWRIG_HTTP_ENDPOINT_HPP_
