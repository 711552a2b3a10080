#ifndef GLOWRIG_HUE_V2_RESOURCE_CHANGE_HPP_
#define GLOWRIG_HUE_V2_RESOURCE_CHANGE_HPP_

#include <string>

#include "http/exchange.hpp"
#include "hue/bridge.hpp"
#include "json/value.hpp"

namespace Hue::V2 {

// Every resource of `type` ("light", "grouped_light") of the newer
// interface, from one GET /clip/v2/resource/<type> with `key`: the
// envelope's data array. Throws Http::Failure as exchange() does,
// std::runtime_error for a reply that is not the envelope.
Json::Value read_resources(const Bridge& bridge, const std::string& key, const std::string& type,
                           const Http::Options& options);

// The resource of `resources` (read_resources) that stands for the older
// path `id_v1` ("/lights/3"); null when none does.
const Json::Value* resource_for(const Json::Value& resources, const std::string& id_v1);

// Sends PUT /clip/v2/resource/<type>/<id> with `body` and `key`. Throws
// Http::Failure for a status other than 200, std::runtime_error naming the
// first of the reply's errors when it lists any.
void change_resource(const Bridge& bridge, const std::string& key, const std::string& type,
                     const std::string& id, const Json::Value& body, const Http::Options& options);

}  // namespace Hue::V2

#endif  // GLOWRIG_HUE_V2_RESOURCE_CHANGE_HPP_
