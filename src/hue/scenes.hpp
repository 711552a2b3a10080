#ifndef GLOWRIG_HUE_SCENES_HPP_
#define GLOWRIG_HUE_SCENES_HPP_

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hue/client.hpp"
#include "hue/item_list.hpp"
#include "json/value_fwd.hpp"

namespace Hue {

namespace details {
class Scene_Impl;
}  // namespace details

// One scene of a bridge, as the whole-state reply reports it. Copies share one state.
class Scene {
public:
    // REQUIRES: impl is not null.
    explicit Scene(std::shared_ptr<details::Scene_Impl> impl);

    std::string id() const;
    std::string name() const;
    std::vector<std::string> lights() const;  // member light ids, in order
    // The group a group scene belongs to; empty for a scene of lights alone.
    std::string group() const;
    // When the scene was last stored (UTC), when the bridge reports it.
    std::optional<std::tm> lastupdated() const;

private:
    std::shared_ptr<details::Scene_Impl> m_impl;  // never null
};

// The scenes of a bridge, in key order, with the scenes resource's client. A
// scene is recalled through the groups resource (Groups::recall_scene).
class Scenes : public ItemList<Scene> {
public:
    using ItemList<Scene>::ItemList;

    // Builds the collection from an object keyed by scene id. Throws
    // Json::Error when a value has a wrong type.
    static Scenes from_json(const Client& client, const Json::Value& object);
};

}  // namespace Hue

#endif  // GLOWRIG_HUE_SCENES_HPP_
