#include "http/endpoint.hpp"

#include <algorithm>

#include <boost/asio/ip/address.hpp>

#include "http/uri.hpp"
#include "util/text.hpp"

namespace Http {

namespace {

// True for a host name as DNS knows it: labels of 1 to 63 letters, digits and
// hyphens (none at either end) joined by dots, 253 characters at most. A last
// label of digits alone is refused: resolvers read "10.1" as an address.
bool is_host_name(const std::string& name) {
    if (name.empty() || name.size() > 253) return false;
    std::size_t start = 0;
    bool all_digits = true;
    for (;;) {
        const std::size_t end = std::min(name.find('.', start), name.size());
        const std::string_view label(name.data() + start, end - start);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-' ||
            label.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                    "0123456789-") != std::string_view::npos) {
            return false;
        }
        all_digits = label.find_first_not_of("0123456789") == std::string_view::npos;
        if (end == name.size()) return !all_digits;
        start = end + 1;
    }
}

// `host` (as written, an IPv6 address in brackets) as the host of an
// endpoint: a numeric address in its canonical text, or a host name in lower
// case when `names` allows one. nullopt for anything else: brackets around
// anything but an IPv6 address, an IPv6 address without them, a zone ("%eth0"
// would make the address depend on this machine).
std::optional<std::string> read_host(std::string host, bool names) {
    host = Util::lower_case(host);
    const bool bracketed = !host.empty() && host.front() == '[';
    if (bracketed) {
        if (host.back() != ']') return std::nullopt;
        host = host.substr(1, host.size() - 2);
    }
    boost::system::error_code ec;
    const auto address = boost::asio::ip::make_address(host, ec);
    if (ec) {
        if (!names || bracketed || !is_host_name(host)) return std::nullopt;
        return host;
    }
    if (address.is_v6() != bracketed || host.find('%') != std::string::npos) return std::nullopt;
    return address.to_string();
}

// Reads an http(s) URL as `forms` allow it.
std::optional<Endpoint> read_url(std::string_view url, const EndpointForms& forms) {
    const auto uri = read_uri(url);  // refuses blanks and controls too
    if (!uri || !uri->scheme || !uri->authority) return std::nullopt;
    Scheme scheme;
    const std::string scheme_name = Util::lower_case(*uri->scheme);
    if (scheme_name == "http") {
        scheme = Scheme::Http;
    } else if (scheme_name == "https" && !forms.only_plain) {
        scheme = Scheme::Https;
    } else {
        return std::nullopt;
    }
    // The authority is a host and maybe a port: no user info, not even an empty one.
    if (uri->user_info || uri->host.empty()) return std::nullopt;
    if (!forms.paths && (!uri->path.empty() || uri->query || uri->fragment)) return std::nullopt;
    unsigned short port = default_port(scheme);
    if (uri->port) {
        const auto number = port_number(*uri->port);
        if (!number) return std::nullopt;
        port = *number;
    }
    const auto host = read_host(uri->host, forms.names);
    if (!host) return std::nullopt;
    std::string target = uri->path.empty() ? "/" : uri->path;
    if (uri->query && !uri->query->empty()) target += "?" + *uri->query;
    return Endpoint{scheme, *host, port, target, forms.names};
}

// Reads "HOST:PORT", "[IPv6]:PORT" or a host alone as `forms` allow them.
std::optional<Endpoint> read_host_port(std::string_view text, const EndpointForms& forms) {
    std::string_view host = text;
    std::string bracketed;  // holds the text `host` views for an IPv6 address alone
    std::optional<std::string_view> port;
    if (!text.empty() && text.front() == '[') {
        // Brackets only go with a port.
        const auto close = text.find(']');
        if (close == std::string_view::npos || text.substr(close + 1, 1) != ":") {
            return std::nullopt;
        }
        host = text.substr(0, close + 1);
        port = text.substr(close + 2);
    } else if (const auto colon = text.find(':');
               colon != std::string_view::npos && text.find(':', colon + 1) == text.npos) {
        // One colon: IPv4 (or a name) and port; an IPv6 address holds at least two.
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
    } else if (text.find(':') != std::string_view::npos) {
        bracketed = "[" + std::string(text) + "]";  // all of it an IPv6 address
        host = bracketed;
    }
    if (port ? !forms.host_port : forms.bare == BareAddress::refused) return std::nullopt;
    const auto read = read_host(std::string(host), forms.names);
    if (!read) return std::nullopt;
    Endpoint endpoint{Scheme::Http, *read, 80, "/"};
    if (port) {
        const auto number = port_number(*port);
        if (!number) return std::nullopt;
        endpoint.port = *number;
    } else if (forms.bare == BareAddress::https_first) {
        endpoint.scheme = Scheme::Https;
        endpoint.port = 443;
        endpoint.bare = true;
    }
    return endpoint;
}

}  // namespace

std::string url_host(const std::string& host) {
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

unsigned short default_port(Scheme scheme) { return scheme == Scheme::Https ? 443 : 80; }

std::optional<Endpoint> read_endpoint(std::string_view text, const EndpointForms& forms) {
    if (text.find("://") != std::string_view::npos) {
        if (!forms.urls) return std::nullopt;
        return read_url(text, forms);
    }
    if (!forms.host_port && forms.bare == BareAddress::refused) return std::nullopt;
    return read_host_port(text, forms);
}

std::string location_text(const Endpoint& endpoint) {
    if (endpoint.scheme != Scheme::Https) return peer_text(endpoint);
    return "https://" + host_field(endpoint);
}

std::string peer_text(const Endpoint& endpoint) {
    return url_host(endpoint.host) + ":" + std::to_string(endpoint.port);
}

std::string host_field(const Endpoint& endpoint) {
    std::string field = url_host(endpoint.host);
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
