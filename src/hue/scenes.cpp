#include "hue/scenes.hpp"

#include "hue/details/scene_impl.hpp"

namespace Hue {

namespace details {

void Scene_Impl::read(const Json::Value& scene) {
    read_field(scene, "name", m_name);
    read_field(scene, "lights", m_lights);
    read_field(scene, "active", m_active);
}

}  // namespace details

Scene::Scene(std::shared_ptr<details::Scene_Impl> impl) : m_impl(std::move(impl)) {}

std::string Scene::id() const { return m_impl->id(); }
std::string Scene::name() const { return m_impl->name(); }
std::vector<std::string> Scene::lights() const { return m_impl->lights(); }
bool Scene::active() const { return m_impl->active(); }

Scenes Scenes::from_json(const Client& client, const Json::Value& object) {
    return details::read_items<Scenes, Scene, details::Scene_Impl>(client, object);
}

}  // namespace Hue
