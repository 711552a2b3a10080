#include "hue/v2/scenes.hpp"

#include <stdexcept>

#include "hue/v2/resources.hpp"
#include "json/parse.hpp"

namespace Hue::V2 {
namespace {

std::string text_at(const Json::Value& object, const char* key) {
    const Json::Value* found = Json::find(object, key);
    return found != nullptr && found->is_string() ? found->get<std::string>() : std::string();
}

// Whether any list of the palette object `palette` holds an entry.
bool holds_palette(const Json::Value* palette) {
    if (palette == nullptr || !palette->is_object()) return false;
    for (const auto& list : *palette) {
        if (list.is_array() && !list.empty()) return true;
    }
    return false;
}

}  // namespace

std::vector<SceneResource> read_scenes(const Bridge& bridge, const std::string& key,
                                       const std::string& type, const Http::Options& options) {
    const std::string body =
        Http::exchange(at(bridge, "/clip/v2/resource/" + type), Http::Method::Get, "",
                       key_options(bridge, key, options));
    const Json::Value reply = Json::parse(body, "the " + type + " listing");
    const Json::Value* data = Json::find(reply, "data");
    if (data == nullptr || !data->is_array()) {
        throw std::runtime_error("Error: the " + type + " listing is not a listing.");
    }
    std::vector<SceneResource> scenes;
    for (const auto& item : *data) {
        SceneResource scene{text_at(item, "id"), text_at(item, "id_v1"), "", false,
                            text_at(item, "state")};
        if (scene.id.empty()) continue;
        if (const Json::Value* metadata = Json::find(item, "metadata")) {
            scene.name = text_at(*metadata, "name");
        }
        scene.palette = holds_palette(Json::find(item, "palette"));
        scenes.push_back(scene);
    }
    return scenes;
}

void put_resource(const Bridge& bridge, const std::string& key, const std::string& type,
                  const std::string& id, const std::string& body, const Http::Options& options) {
    Http::exchange(at(bridge, "/clip/v2/resource/" + type + "/" + id), Http::Method::Put, body,
                   key_options(bridge, key, options));
}

}  // namespace Hue::V2
