// Reads the input as a URI reference, as a URL of the HTTP module and as a
// bridge address from the command line: a URI reference must read back as
// written, and whatever is accepted as a URL or an address must be a numeric
// peer that reads back unchanged from the text the program would write for it.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.hpp"
#include "http/endpoint.hpp"
#include "http/uri.hpp"
#include "hue/address.hpp"

using FuzzSupport::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text = FuzzSupport::as_text(data, size);

    if (const auto uri = Http::read_uri(text)) {
        require(Http::uri_text(*uri) == text, "a URI reference reads back as written");
        require(!uri->port || uri->authority, "only an authority has a port");
    }

    if (const auto endpoint = Http::read_endpoint(text, Http::kNumericUrl)) {
        require(!endpoint->host.empty() && endpoint->port != 0, "a URL names a host and a port");
        require(!endpoint->target.empty() && endpoint->target.front() == '/',
                "a target starts with '/'");
        require(endpoint->host.find_first_of("[]/?#@ ") == std::string::npos,
                "a host is a bare numeric address");
        const auto again = Http::read_endpoint(Http::url_text(*endpoint), Http::kNumericUrl);
        require(again && again->scheme == endpoint->scheme && again->host == endpoint->host &&
                    again->port == endpoint->port && again->target == endpoint->target,
                "a URL reads back from its own text");
    }

    if (const auto location = Http::read_endpoint(text, Hue::kBridgeLocation)) {
        require(!location->host.empty() && location->port != 0,
                "a location names an ip and a port");
        require(Hue::read_bridge_name(text).has_value(), "a location names a bridge");
        const auto again =
            Http::read_endpoint(Http::location_text(*location), Hue::kBridgeLocation);
        require(again && again->scheme == location->scheme && again->host == location->host &&
                    again->port == location->port && !again->bare,
                "a location reads back from its own text, never bare");
    }
    if (Hue::is_bridge_id(text)) require(text.size() == 16, "a bridge id has 16 digits");
    return 0;
}
