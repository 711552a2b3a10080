#ifndef GLOWRIG_DISCOVERY_SEARCH_FAILURE_HPP_
#define GLOWRIG_DISCOVERY_SEARCH_FAILURE_HPP_

#include <stdexcept>
#include <string>
#include <system_error>

namespace Discovery {

// A search that could not be sent: its socket could not be opened, bound or
// sent from, or no network interface could carry it. what() is the one line
// glowrig prints when every discovery source failed, for example
// "Error: cannot send the SSDP search to 239.255.255.250:1900: network is
// unreachable.".
class SearchFailure : public std::system_error {
public:
    // The search `search` ("SSDP search", "mDNS query") to `target`
    // ("239.255.255.250:1900"; empty when it had none) failed with `code`:
    // "Error: cannot send the SEARCH to TARGET: CAUSE.", the system's cause
    // starting in lower case.
    SearchFailure(const std::string& search, const std::string& target, std::error_code code);

    // The search `search` had nowhere to go: "Error: cannot send the SEARCH:
    // WHY.".
    SearchFailure(const std::string& search, const std::string& why);

    const char* what() const noexcept override { return m_line.what(); }

private:
    std::runtime_error m_line;  // copied without throwing, as exceptions must be
};

// "ADDRESS:PORT" of a search's target, an IPv6 address in brackets.
std::string target_text(const std::string& address, unsigned short port);

}  // namespace Discovery

#endif  // GLOWRIG_DISCOVERY_SEARCH_FAILURE_HPP_
