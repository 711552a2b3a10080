#ifndef GLOWRIG_DISCOVERY_SSDP_REPLY_HPP_
#define GLOWRIG_DISCOVERY_SSDP_REPLY_HPP_

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "http/endpoint.hpp"

namespace UPnP {

// The multicast group and port every SSDP search goes to.
inline constexpr const char* kSsdpGroup = "239.255.255.250";
inline constexpr unsigned short kSsdpPort = 1900;

// Returns the text of one SSDP search datagram for `search_target`
// (an "M-SEARCH * HTTP/1.1" request with HOST, MAN, MX 2 and ST).
std::string search_request(const std::string& search_target);

// The status and header fields of one SSDP reply, which is an HTTP response
// carried in a single datagram.
struct SsdpReply {
    int status = 0;
    // Header values by lower-cased name, blanks around the value removed.
    // When a name repeats, the first value is kept.
    std::map<std::string, std::string> headers;

    // Returns the value of header `name` (any case), or "" when it is absent.
    std::string header(std::string_view name) const;
};

// Returns the reply read from `datagram`, or nullopt when it does not start
// with an "HTTP/1.x NNN" status line. Lines may end in CRLF or LF; header
// lines without a colon are ignored; the header ends at the first empty line.
std::optional<SsdpReply> parse_ssdp_reply(std::string_view datagram);

// Where a device description may be fetched from (Http::read_endpoint): an
// "http://" URL whose host is a numeric IPv4 address or a bracketed IPv6
// address, with a path. Host names are refused because resolving them can
// block beyond any deadline.
constexpr Http::EndpointForms kDescriptionUrl{true, true,  false,
                                              true, false, Http::BareAddress::refused};

// Returns the LOCATION of `datagram` when it is a 200 reply that has one,
// else "". The name is matched in any case.
std::string reply_location(std::string_view datagram);

}  // namespace UPnP

#endif  // GLOWRIG_DISCOVERY_SSDP_REPLY_HPP_
