#ifndef GLOWRIG_HUE_ADDRESS_HPP_
#define GLOWRIG_HUE_ADDRESS_HPP_

#include <optional>
#include <string>

#include "http/endpoint.hpp"

namespace Hue {

// The port of a bridge's REST interface when its address names none.
constexpr unsigned short kDefaultPort = 80;

// How a bridge's REST interface is reached: plain HTTP or HTTP over TLS.
using Scheme = Http::Scheme;

// Where a bridge answers: a numeric IP address and a TCP port.
struct BridgeAddress {
    std::string ip;  // canonical text, IPv6 without brackets
    unsigned short port = kDefaultPort;

    bool operator==(const BridgeAddress& other) const {
        return ip == other.ip && port == other.port;
    }
};

// Reads a bridge address written as one of
//   192.0.2.1          IPv4, port 80
//   192.0.2.1:8080     IPv4 and port
//   ::1                IPv6, port 80; the whole text is the address, so
//                      "::1:80" is the IPv6 address ::1:80, not ::1 with a port
//   [::1]:8080         IPv6 and port; brackets only go with a port
// A port is 1 to 5 decimal digits with a value of 1..65535. Returns nullopt for
// anything else, host names included: a name is never resolved here.
std::optional<BridgeAddress> parse_bridge_address(const std::string& text);

// Where the user says a bridge answers, and how.
struct BridgeLocation {
    std::string ip;  // canonical text, IPv6 without brackets
    unsigned short port = 443;
    Scheme scheme = Scheme::Https;
    bool bare = false;  // an address alone: HTTPS on 443, plain HTTP on 80 when 443 refuses
};

// Reads a bridge location written as one of
//   https://IP[:PORT]   HTTPS, port 443 unless given (IPv6 in brackets)
//   http://IP[:PORT]    plain HTTP, port 80 unless given
//   IP:PORT, [IPv6]:PORT  plain HTTP on that port
//   IP                  HTTPS on 443, `bare`
// Returns nullopt for anything else, host names included.
std::optional<BridgeLocation> parse_bridge_location(const std::string& text);

// True when `text` is a bridge id: 16 hexadecimal digits, in any case.
bool is_bridge_id(const std::string& text);

// True when `text` names a bridge as --bridge and GLOWRIG_BRIDGE take it: a
// location parse_bridge_location reads, or a bridge id.
bool names_a_bridge(const std::string& text);

// Returns `ip` as the host of a URL: an IPv6 address in brackets, anything
// else (an IPv4 address, an already bracketed host) unchanged.
std::string url_host(const std::string& ip);

// Returns the address as a user writes it: the ip alone for port 80,
// "ip:port" or "[ipv6]:port" otherwise. parse_bridge_address reads it back.
std::string address_text(const std::string& ip, unsigned short port);

// Returns where a bridge answers as --bridge takes it, so that
// parse_bridge_location reads back the same ip, port and scheme and never
// `bare`: "https://ip" for HTTPS on 443, "https://ip:port" on any other port,
// "ip:port" for plain HTTP on any port, 80 included (the ip alone would mean
// HTTPS first). An IPv6 address is bracketed.
std::string location_text(const std::string& ip, unsigned short port, Scheme scheme);

}  // namespace Hue

#endif  // GLOWRIG_HUE_ADDRESS_HPP_
