#include "hue/scenes.hpp"

#include "hue/details/scene_impl.hpp"
#include "hue/text.hpp"

namespace Hue {

namespace details {

void Scene_Impl::read(const web::json::value& scene) {
    if (scene.has_field("name")) name = scene.at("name").as_string();
    if (scene.has_field("lights")) {
        lights.clear();
        for (const auto& light : scene.at("lights").as_array()) {
            lights.push_back(light.as_string());
        }
    }
    if (scene.has_field("active")) active = scene.at("active").as_bool();
}

}  // namespace details

Scene::Scene(std::shared_ptr<details::Scene_Impl> impl) : m_impl(std::move(impl)) {}

std::string Scene::id() const { return m_impl->id; }
std::string Scene::name() const { return m_impl->name; }
std::vector<std::string> Scene::lights() const { return m_impl->lights; }
bool Scene::active() const { return m_impl->active; }

Scenes Scenes::from_json(const Client& client, const web::json::value& object) {
    return read_items<Scenes, Scene, details::Scene_Impl>(client, object);
}

}  // namespace Hue
