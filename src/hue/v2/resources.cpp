#include "hue/v2/resources.hpp"

#include <stdexcept>

#include "hue/address.hpp"
#include "json/parse.hpp"

namespace Hue::V2 {
namespace {

const std::string* text_of(const Json::Value& object, const char* key) {
    const Json::Value* found = Json::find(object, key);
    return found != nullptr && found->is_string() ? &found->get_ref<const std::string&>() : nullptr;
}

}  // namespace

Http::Endpoint at(const Bridge& bridge, const std::string& target) {
    Http::Endpoint endpoint = bridge.endpoint();
    endpoint.target = target;
    return endpoint;
}

Http::Options key_options(const Bridge& bridge, const std::string& key,
                          const Http::Options& options) {
    Http::Options own = bridge.options_for(options);
    own.fields.emplace_back(kKeyField, key);
    return own;
}

bool has_newer_interface(const Bridge& bridge, const std::string& key,
                         const Http::Options& options) {
    if (bridge.endpoint().scheme != Http::Scheme::Https) return false;
    try {
        Http::exchange(at(bridge, "/clip/v2/resource/bridge"), Http::Method::Get, "",
                       key_options(bridge, key, options));
        return true;
    } catch (const Http::Failure& failure) {
        const int status = failure.status();
        if (status == 404 || status == 401 || status == 403) return false;
        throw;
    }
}

ResourceIndex ResourceIndex::read(const Bridge& bridge, const std::string& key,
                                  const Http::Options& options) {
    const std::string body = Http::exchange(at(bridge, "/clip/v2/resource"), Http::Method::Get, "",
                                            key_options(bridge, key, options));
    const Json::Value reply = Json::parse(body, "the resource listing");
    const Json::Value* data = Json::find(reply, "data");
    if (data == nullptr || !data->is_array() || !Json::has(reply, "errors")) {
        throw std::runtime_error("Error: the resource listing is not a listing.");
    }
    return from_data(*data);
}

ResourceIndex ResourceIndex::from_data(const Json::Value& data) {
    ResourceIndex index;
    for (const auto& resource : data) {
        const std::string* id = text_of(resource, "id");
        const std::string* type = text_of(resource, "type");
        const std::string* path = text_of(resource, "id_v1");
        if (id == nullptr || type == nullptr || path == nullptr || path->empty()) continue;
        index.m_by_path.emplace(*path, ResourceRef{*id, *type});
    }
    return index;
}

std::optional<std::string> ResourceIndex::id_of(const std::string& id_v1,
                                                const std::string& type) const {
    const auto [first, last] = m_by_path.equal_range(id_v1);
    for (auto it = first; it != last; ++it) {
        if (it->second.type == type) return it->second.id;
    }
    return std::nullopt;
}

}  // namespace Hue::V2
