#ifndef GLOWRIG_HUE_V2_RESOURCES_HPP_
#define GLOWRIG_HUE_V2_RESOURCES_HPP_

#include <map>
#include <optional>
#include <string>

#include "http/exchange.hpp"
#include "hue/bridge.hpp"

namespace Hue::V2 {

// The key field every request of the newer interface carries.
inline constexpr const char* kKeyField = "hue-application-key";

// The endpoint of `bridge` with the request target `target`
// ("/clip/v2/resource/light").
Http::Endpoint at(const Bridge& bridge, const std::string& target);

// `options` for a request of the newer interface with the key `key`: its
// fields with the key field added and the bridge's certificate check.
Http::Options key_options(const Bridge& bridge, const std::string& key,
                          const Http::Options& options);

// Whether `bridge` has the newer interface for `key`: it is reached over
// HTTPS and GET /clip/v2/resource/bridge answers 200 with the key. A bridge
// over plain HTTP is not asked. False for a 404 (a bridge without it) and
// for a 401 or 403; throws Http::Failure for any other failure (the bridge
// cannot be reached, it is busy), when nothing is known.
bool has_newer_interface(const Bridge& bridge, const std::string& key,
                         const Http::Options& options);

// One resource of the newer interface as the index keeps it.
struct ResourceRef {
    std::string id;    // its UUID
    std::string type;  // "light", "grouped_light", "room", "button", ...
};

// The resources of the newer interface by the older path they stand for
// ("/lights/3", "/groups/1", "/sensors/5"), from one read of GET
// /clip/v2/resource. Items keep being named by their older id or name: this
// maps them to the newer ids.
class ResourceIndex {
public:
    // Reads the listing with `key`. Throws Http::Failure as exchange() does
    // (a 404 when the bridge has no newer interface), std::runtime_error for
    // a reply that is not the envelope {"errors": [...], "data": [...]}.
    static ResourceIndex read(const Bridge& bridge, const std::string& key,
                              const Http::Options& options);

    // Builds the index of `data`, the envelope's array; entries without an
    // id, type or id_v1 are left out.
    static ResourceIndex from_data(const Json::Value& data);

    // The resource of `type` standing for `id_v1`; nullopt when there is none.
    std::optional<std::string> id_of(const std::string& id_v1, const std::string& type) const;

private:
    std::multimap<std::string, ResourceRef> m_by_path;
};

}  // namespace Hue::V2

#endif  // GLOWRIG_HUE_V2_RESOURCES_HPP_
