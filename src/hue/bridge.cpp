#include "hue/bridge.hpp"

#include <cpprest/details/web_utilities.h>

#include "hue/text.hpp"

namespace Hue {

Bridge::Bridge() : Bridge(std::wstring(), std::wstring(), std::wstring()) {}

Bridge::Bridge(std::wstring id, std::wstring ip, std::wstring mac)
    : m_info(std::make_shared<const BridgeInfo>(std::move(id), std::move(ip), std::move(mac))) {}

Client Bridge::make_client(const AppIdentity& identity, const std::wstring& resource,
                           const web::web_proxy& proxy) const {
    std::wstring path = L"api/" + identity.user_id;
    if (!resource.empty()) path += L"/" + resource;
    // An IPv6 address needs brackets to be the host of a URL.
    std::string host = to_utf8(ip());
    if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
    return Client(http_url(host, path), proxy);
}

}  // namespace Hue
