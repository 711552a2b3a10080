#include "discovery/ssdp_reply.hpp"

#include <cctype>
#include <locale>
#include <utility>

#include <boost/algorithm/string/case_conv.hpp>
#include <boost/algorithm/string/trim.hpp>

namespace UPnP {
namespace {

// Splits off the next line of `rest` (without its CRLF or LF).
std::string_view next_line(std::string_view& rest) {
    const auto end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// Reads "HTTP/1.x NNN[ reason]"; returns the status or 0.
int read_status_line(std::string_view line) {
    if (line.size() < 12 || line.substr(0, 7) != "HTTP/1." ||
        !std::isdigit(static_cast<unsigned char>(line[7])) || line[8] != ' ') {
        return 0;
    }
    std::string_view code = line.substr(9, 3);
    int status = 0;
    for (char c : code) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
        status = status * 10 + (c - '0');
    }
    if (line.size() > 12 && line[12] != ' ') return 0;
    return status;
}

}  // namespace

std::string search_request(const std::string& search_target) {
    return "M-SEARCH * HTTP/1.1\r\n"
           "HOST: 239.255.255.250:1900\r\n"
           "MAN: \"ssdp:discover\"\r\n"
           "MX: 2\r\n"
           "ST: " +
           search_target + "\r\n\r\n";
}

std::string SsdpReply::header(std::string_view name) const {
    const auto found =
        headers.find(boost::algorithm::to_lower_copy(std::string(name), std::locale::classic()));
    return found == headers.end() ? std::string() : found->second;
}

std::optional<SsdpReply> parse_ssdp_reply(std::string_view datagram) {
    // Read by hand, not by Beast: real devices send bare LF line ends and colon-less lines.
    const std::locale& classic = std::locale::classic();
    std::string_view rest = datagram;
    SsdpReply reply;
    reply.status = read_status_line(next_line(rest));
    if (reply.status == 0) return std::nullopt;
    while (!rest.empty()) {
        const std::string_view line = next_line(rest);
        if (line.empty()) break;
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string name(line.substr(0, colon));
        boost::algorithm::trim(name, classic);
        boost::algorithm::to_lower(name, classic);
        if (name.empty()) continue;
        std::string value(line.substr(colon + 1));
        boost::algorithm::trim(value, classic);
        reply.headers.emplace(std::move(name), std::move(value));
    }
    return reply;
}

std::string reply_location(std::string_view datagram) {
    const auto reply = parse_ssdp_reply(datagram);
    if (!reply || reply->status != 200) return {};
    return reply->header("location");
}

}  // namespace UPnP
