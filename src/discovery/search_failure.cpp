#include "discovery/search_failure.hpp"

#include <cctype>

namespace Discovery {
namespace {

std::string cause_of(const std::error_code& code) {
    std::string cause = code.message();
    if (!cause.empty()) {
        cause[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(cause[0])));
    }
    return cause;
}

}  // namespace

SearchFailure::SearchFailure(const std::string& search, const std::string& target,
                             std::error_code code)
    : std::system_error(code, search),
      m_line("Error: cannot send the " + search + (target.empty() ? "" : " to " + target) + ": " +
             cause_of(code) + ".") {}

SearchFailure::SearchFailure(const std::string& search, const std::string& why)
    : std::system_error(std::make_error_code(std::errc::network_unreachable), search),
      m_line("Error: cannot send the " + search + ": " + why + ".") {}

std::string target_text(const std::string& address, unsigned short port) {
    const bool v6 = address.find(':') != std::string::npos;
    return (v6 ? "[" + address + "]" : address) + ":" + std::to_string(port);
}

}  // namespace Discovery
