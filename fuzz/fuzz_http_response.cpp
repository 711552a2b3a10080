// Reads the input as the bytes of an HTTP response received so far. The first
// byte chooses whether the peer has closed the connection and the size cap;
// the rest is the response, examined whole and at every split point a
// receiver could see, as the fetch does while bytes arrive.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "discovery/http_fetch.hpp"
#include "fuzz_support.hpp"

using fuzz_support::require;

namespace {

UPnP::HttpResponseState examine(std::string_view received, bool closed, std::size_t cap) {
    std::string body = "unchanged";
    const auto state = UPnP::read_http_response(received, closed, cap, &body);
    if (state == UPnP::HttpResponseState::complete) {
        require(body.size() <= cap, "a complete body fits the cap");
        require(received.find(body) != std::string_view::npos, "the body is part of the response");
    } else {
        require(body == "unchanged", "the body is only stored for a complete response");
    }
    return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool closed = (data[0] & 1) != 0;
    const std::size_t caps[] = {0, 16, 256, 256 * 1024};
    const std::size_t cap = caps[(data[0] >> 1) & 3];
    const std::string_view received(reinterpret_cast<const char*>(data + 1), size - 1);

    const auto whole = examine(received, closed, cap);
    // An open connection that reads as finished stays finished, with the same
    // verdict, when the peer closes it afterwards.
    if (!closed && whole != UPnP::HttpResponseState::incomplete) {
        require(examine(received, true, cap) == whole, "closing does not change a verdict");
    }
    if (received.size() <= 512) {
        for (std::size_t split = 0; split < received.size(); ++split) {
            examine(received.substr(0, split), false, cap);
        }
    }
    return 0;
}
