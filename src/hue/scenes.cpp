#include "hue/scenes.hpp"

#include <iomanip>
#include <locale>
#include <sstream>

#include "hue/details/scene_impl.hpp"

namespace Hue {

namespace details {
namespace {

// The date text "YYYY-MM-DDTHH:MM:SS" a bridge writes; none for anything else.
std::optional<std::tm> date_of(const Json::Value& value) {
    if (value.is_null()) return std::nullopt;
    std::istringstream stream(Json::as_string(value));
    stream.imbue(std::locale::classic());
    std::tm time{};
    stream >> std::get_time(&time, "%Y-%m-%dT%H:%M:%S");
    if (stream.fail()) return std::nullopt;
    return time;
}

}  // namespace

void Scene_Impl::read(const Json::Value& scene) {
    read_field(scene, "name", m_name);
    read_field(scene, "lights", m_lights);
    // Nothing shows whether a scene is active, but a listing whose "active"
    // is not a boolean is refused as before.
    if (const Json::Value* active = Json::find(scene, "active")) Json::as_bool(*active);
    read_field(scene, "group", m_group);
    if (const Json::Value* lastupdated = Json::find(scene, "lastupdated")) {
        m_lastupdated = date_of(*lastupdated);
    }
}

}  // namespace details

Scene::Scene(std::shared_ptr<details::Scene_Impl> impl) : m_impl(std::move(impl)) {}

std::string Scene::id() const { return m_impl->id(); }
std::string Scene::name() const { return m_impl->name(); }
std::vector<std::string> Scene::lights() const { return m_impl->lights(); }
std::string Scene::group() const { return m_impl->group(); }
std::optional<std::tm> Scene::lastupdated() const { return m_impl->lastupdated(); }

Scenes Scenes::from_json(const Client& client, const Json::Value& object) {
    return details::read_items<Scenes, Scene, details::Scene_Impl>(client, object);
}

}  // namespace Hue
