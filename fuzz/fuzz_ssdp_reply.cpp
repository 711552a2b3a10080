// Reads the input as one SSDP reply datagram, then reads the LOCATION it
// names, as the SSDP finder does, and the input itself as a URL.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "discovery/ssdp_reply.hpp"
#include "fuzz_support.hpp"

using FuzzSupport::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view datagram(reinterpret_cast<const char*>(data), size);

    const auto reply = UPnP::parse_ssdp_reply(datagram);
    if (reply) {
        require(reply->status >= 0 && reply->status <= 999, "a status has three digits");
        for (const auto& [name, value] : reply->headers) {
            require(!name.empty(), "header names are not empty");
            require(reply->header(name) == value, "every header is found by its name");
        }
    }

    const std::string location = UPnP::reply_location(datagram);
    require(location.empty() || (reply && reply->status == 200), "only a 200 reply has a location");
    if (const auto url = Http::read_endpoint(location, UPnP::kDescriptionUrl)) {
        require(!url->host.empty() && !url->target.empty() && url->target.front() == '/',
                "a URL has a host and a target starting with a slash");
        require(url->port != 0, "a URL never has port 0");
    }
    Http::read_endpoint(datagram, UPnP::kDescriptionUrl);
    return 0;
}
