#include "hue/address.hpp"

namespace Hue {

bool is_bridge_id(const std::string& text) {
    return text.size() == 16 &&
           text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

bool names_a_bridge(const std::string& text) {
    return is_bridge_id(text) || Http::read_endpoint(text, kBridgeLocation).has_value();
}

std::string address_text(const std::string& ip, unsigned short port) {
    if (port == kDefaultPort) return ip;
    return Http::location_text(Http::Endpoint{Scheme::Http, ip, port, "/"});
}

}  // namespace Hue
