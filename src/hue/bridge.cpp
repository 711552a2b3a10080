#include "hue/bridge.hpp"

#include <cpprest/details/web_utilities.h>

#include "hue/text.hpp"

namespace Hue {

Bridge::Bridge() : Bridge(std::string(), std::string(), std::string()) {}

Bridge::Bridge(std::string id, std::string ip, std::string mac, unsigned short port)
    : m_info(
          std::make_shared<const BridgeInfo>(std::move(id), std::move(ip), std::move(mac), port)) {}

Client Bridge::make_client(const AppIdentity& identity, const std::string& resource,
                           const ClientConfig& client_config) const {
    std::string path = "api/" + identity.user_id;
    if (!resource.empty()) path += "/" + resource;
    // An IPv6 address needs brackets to be the host of a URL.
    return Client(http_url(url_host(ip()), path, port()), client_config);
}

}  // namespace Hue
