#include "discovery/device_description.hpp"

#include <cstring>
#include <locale>

#include <boost/algorithm/string/trim.hpp>
#include <pugixml.hpp>

#include "http/uri.hpp"

namespace UPnP {
namespace {

// Returns the name of `node` without a namespace prefix.
const char* local_name(const pugi::xml_node& node) {
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

// Returns the first element child of `node` whose local name is `name`.
pugi::xml_node child(const pugi::xml_node& node, const char* name) {
    for (pugi::xml_node item = node.first_child(); item; item = item.next_sibling()) {
        if (item.type() == pugi::node_element && std::strcmp(local_name(item), name) == 0) {
            return item;
        }
    }
    return {};
}

// The text of element `name` under `node`, "" when absent.
std::string text_of(const pugi::xml_node& node, const char* name) {
    return child(node, name).text().as_string();
}

// `text` read as a URI with a scheme and a host; nullopt when it is none.
std::optional<Http::UriReference> absolute(const std::string& text) {
    auto uri = Http::read_uri(text);
    if (!uri || !uri->scheme || uri->host.empty()) return std::nullopt;
    return uri;
}

std::string resolve(const std::string& url, const std::string& url_base,
                    const std::string& location) {
    if (url.empty() || absolute(url)) return url;
    auto base = absolute(url_base);
    if (!base) base = absolute(location);
    const auto reference = Http::read_uri(url);
    if (!base || !reference) return url;
    return Http::uri_text(Http::resolve_uri(*base, *reference));
}

}  // namespace

std::optional<Device> read_device_description(std::string_view xml, const std::string& location) {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_auto);
    if (!parsed) return std::nullopt;
    const pugi::xml_node root = document.document_element();
    if (std::strcmp(local_name(root), "root") != 0) return std::nullopt;
    const pugi::xml_node node = child(root, "device");
    if (!node) return std::nullopt;

    auto field = [&node](const char* name) { return text_of(node, name); };
    Device device;
    device.IsRootDevice = true;
    device.HasChildren = static_cast<bool>(child(child(node, "deviceList"), "device"));
    device.UniqueDeviceName = field("UDN");
    device.FriendlyName = field("friendlyName");
    device.Type = field("deviceType");
    const std::locale& classic = std::locale::classic();
    device.PresentationURL =
        resolve(boost::algorithm::trim_copy(text_of(node, "presentationURL"), classic),
                boost::algorithm::trim_copy(text_of(root, "URLBase"), classic), location);
    device.ManufacturerName = field("manufacturer");
    device.ManufacturerURL = field("manufacturerURL");
    device.ModelName = field("modelName");
    device.ModelNumber = field("modelNumber");
    device.Description = field("modelDescription");
    device.ModelURL = field("modelURL");
    device.UPC = field("UPC");
    device.SerialNumber = field("serialNumber");
    return device;
}

}  // namespace UPnP
