#ifndef GLOWRIG_HUE_V2_SCENES_HPP_
#define GLOWRIG_HUE_V2_SCENES_HPP_

#include <string>
#include <vector>

#include "http/exchange.hpp"
#include "hue/bridge.hpp"

namespace Hue::V2 {

// A scene or smart scene of the newer interface, as the scene commands use it.
struct SceneResource {
    std::string id;     // its UUID
    std::string id_v1;  // "/scenes/<id>" for a scene with an older twin; else empty
    std::string name;
    bool palette = false;  // a scene whose palette holds a colour, level or effect
    std::string state;     // a smart scene's "active" or "inactive"; else empty
};

// The resources of `type` ("scene" or "smart_scene") from GET
// /clip/v2/resource/<type> with `key`. Throws Http::Failure as exchange()
// does, std::runtime_error for a reply that is not the envelope.
std::vector<SceneResource> read_scenes(const Bridge& bridge, const std::string& key,
                                       const std::string& type, const Http::Options& options);

// Sends PUT /clip/v2/resource/<type>/<id> with `body`. Throws as exchange() does.
void put_resource(const Bridge& bridge, const std::string& key, const std::string& type,
                  const std::string& id, const std::string& body, const Http::Options& options);

}  // namespace Hue::V2

#endif  // GLOWRIG_HUE_V2_SCENES_HPP_
