#include "http/endpoint.hpp"

#include <algorithm>

#include <boost/algorithm/string/predicate.hpp>
#include <boost/asio/ip/address.hpp>
#include <cpprest/base_uri.h>

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

// Reads an http(s) URL; its host must be numeric, or a host name when
// `names` is set.
std::optional<Endpoint> read_url(std::string_view url, bool names) {
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
    if (ec ? !names || bracketed || !is_host_name(host)
           : address.is_v6() != bracketed || host.find('%') != std::string::npos) {
        return std::nullopt;
    }
    if (!ec) host = address.to_string();
    const std::string query = uri.query();
    std::string target = uri.path() + (query.empty() ? "" : "?" + query);
    if (target.empty()) target = "/";
    return Endpoint{scheme, host,
                    static_cast<unsigned short>(port > 0 ? port : default_port(scheme)), target,
                    names};
}

}  // namespace

unsigned short default_port(Scheme scheme) { return scheme == Scheme::Https ? 443 : 80; }

std::optional<Endpoint> parse_url(std::string_view url) { return read_url(url, false); }

std::optional<Endpoint> parse_named_url(std::string_view url) { return read_url(url, true); }

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
