// Reads the input as one mDNS answer to a query with id 0, as the mDNS search
// does, then as the second of two answers, and resolves the services.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "discovery/mdns_message.hpp"
#include "fuzz_support.hpp"

using FuzzSupport::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view datagram(reinterpret_cast<const char*>(data), size);
    Discovery::MdnsAnswers answers;
    const bool read = answers.add(datagram, 0);
    require(read || answers.services().empty(), "a datagram not read adds nothing");
    require(!read || size <= Discovery::kMdnsMessageLimit, "a datagram too large is not read");
    answers.add(datagram, 0);
    for (const auto& service : answers.services()) {
        require(service.port != 0, "a service has a port");
        require(!service.ip.empty(), "a service has an address");
        require(!service.instance.empty(), "a service has a name");
    }
    return 0;
}
