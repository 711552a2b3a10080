#include "hue/bridge.hpp"

#include <cpprest/details/web_utilities.h>

#include "hue/text.hpp"

namespace Hue {

Bridge::Bridge() : Bridge(std::string(), std::string(), std::string()) {}

Bridge::Bridge(std::string id, std::string ip, std::string mac)
    : m_info(std::make_shared<const BridgeInfo>(std::move(id), std::move(ip), std::move(mac))) {}

Client Bridge::make_client(const AppIdentity& identity, const std::string& resource,
                           const ClientConfig& client_config) const {
    std::string path = "api/" + identity.user_id;
    if (!resource.empty()) path += "/" + resource;
    // An IPv6 address needs brackets to be the host of a URL.
    std::string host = ip();
    if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
    return Client(http_url(host, path), client_config);
}

}  // namespace Hue
