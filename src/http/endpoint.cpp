#include "http/endpoint.hpp"

#include <algorithm>

#include <boost/asio/ip/address.hpp>

#include "http/uri.hpp"

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

// `text` with its ASCII letters in lower case.
std::string lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Reads an http(s) URL; its host must be numeric, or a host name when
// `names` is set.
std::optional<Endpoint> read_url(std::string_view url, bool names) {
    const auto uri = read_uri(url);  // refuses blanks and controls too
    if (!uri || !uri->scheme || !uri->authority) return std::nullopt;
    Scheme scheme;
    const std::string scheme_name = lower(*uri->scheme);
    if (scheme_name == "http") {
        scheme = Scheme::Http;
    } else if (scheme_name == "https") {
        scheme = Scheme::Https;
    } else {
        return std::nullopt;
    }
    // The authority is a host and maybe a port: no user info, not even an empty one.
    if (uri->user_info || uri->host.empty()) return std::nullopt;
    unsigned short port = default_port(scheme);
    if (uri->port) {
        const auto number = port_number(*uri->port);
        if (!number) return std::nullopt;
        port = *number;
    }
    std::string host = lower(uri->host);
    const bool bracketed = host.front() == '[';
    if (bracketed) host = host.substr(1, host.size() - 2);
    boost::system::error_code ec;
    const auto address = boost::asio::ip::make_address(host, ec);
    // A zone ("%eth0") would make the address depend on this machine.
    if (ec ? !names || bracketed || !is_host_name(host)
           : address.is_v6() != bracketed || host.find('%') != std::string::npos) {
        return std::nullopt;
    }
    if (!ec) host = address.to_string();
    std::string target = uri->path.empty() ? "/" : uri->path;
    if (uri->query && !uri->query->empty()) target += "?" + *uri->query;
    return Endpoint{scheme, host, port, target, names};
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
