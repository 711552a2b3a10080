#include "hue/address.hpp"

#include <boost/asio/ip/address.hpp>

namespace Hue {
namespace {

// The port of "PORT": 1..65535 in at most five digits, no sign or blanks.
std::optional<unsigned short> parse_port(const std::string& text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) return std::nullopt;
    return static_cast<unsigned short>(value);
}

std::optional<boost::asio::ip::address> parse_ip(const std::string& text) {
    boost::system::error_code error;
    const auto address = boost::asio::ip::make_address(text, error);
    if (error) return std::nullopt;
    return address;
}

}  // namespace

std::optional<BridgeAddress> parse_bridge_address(const std::string& text) {
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string::npos || close + 1 >= text.size() || text[close + 1] != ':') {
            return std::nullopt;
        }
        const auto ip = parse_ip(text.substr(1, close - 1));
        const auto port = parse_port(text.substr(close + 2));
        if (!ip || !ip->is_v6() || !port) return std::nullopt;
        return BridgeAddress{ip->to_string(), *port};
    }
    const auto colon = text.find(':');
    if (colon != std::string::npos && text.find(':', colon + 1) == std::string::npos) {
        // One colon: IPv4 and port (an IPv6 address holds at least two).
        const auto ip = parse_ip(text.substr(0, colon));
        const auto port = parse_port(text.substr(colon + 1));
        if (!ip || !ip->is_v4() || !port) return std::nullopt;
        return BridgeAddress{ip->to_string(), *port};
    }
    const auto ip = parse_ip(text);
    if (!ip) return std::nullopt;
    return BridgeAddress{ip->to_string(), kDefaultPort};
}

std::optional<BridgeLocation> parse_bridge_location(const std::string& text) {
    for (const Scheme scheme : {Scheme::Https, Scheme::Http}) {
        const std::string prefix = scheme == Scheme::Https ? "https://" : "http://";
        if (text.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string rest = text.substr(prefix.size());
        // A bare IPv6 address needs brackets after a scheme, as in a URL.
        const bool bracketed = !rest.empty() && rest.front() == '[';
        std::optional<BridgeAddress> address;
        if (bracketed && rest.back() == ']') {
            address = parse_bridge_address(rest.substr(1, rest.size() - 2));
            if (address && address->ip.find(':') == std::string::npos) return std::nullopt;
        } else if (bracketed || rest.find(':') == rest.rfind(':')) {
            address = parse_bridge_address(rest);
        }
        if (!address) return std::nullopt;
        const bool named_port =
            rest.find(':') != std::string::npos && (bracketed ? rest.back() != ']' : true);
        return BridgeLocation{address->ip, named_port ? address->port : Http::default_port(scheme),
                              scheme, false};
    }
    const auto address = parse_bridge_address(text);
    if (!address) return std::nullopt;
    const bool named_port = text.front() == '[' || (text.find(':') != std::string::npos &&
                                                    text.find(':') == text.rfind(':'));
    if (named_port) return BridgeLocation{address->ip, address->port, Scheme::Http, false};
    return BridgeLocation{address->ip, 443, Scheme::Https, true};
}

bool is_bridge_id(const std::string& text) {
    return text.size() == 16 &&
           text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

bool names_a_bridge(const std::string& text) {
    return is_bridge_id(text) || parse_bridge_location(text).has_value();
}

std::string url_host(const std::string& ip) {
    if (ip.find(':') != std::string::npos && ip.front() != '[') return "[" + ip + "]";
    return ip;
}

std::string address_text(const std::string& ip, unsigned short port) {
    if (port == kDefaultPort) return ip;
    return url_host(ip) + ":" + std::to_string(port);
}

std::string location_text(const std::string& ip, unsigned short port, Scheme scheme) {
    if (scheme != Scheme::Https) return url_host(ip) + ":" + std::to_string(port);
    return "https://" + url_host(ip) + (port == 443 ? "" : ":" + std::to_string(port));
}

}  // namespace Hue
