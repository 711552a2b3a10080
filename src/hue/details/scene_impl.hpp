#ifndef GLOWRIG_HUE_DETAILS_SCENE_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_SCENE_IMPL_HPP_

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "hue/details/resource_impl.hpp"

namespace Hue {
namespace details {

// The state behind a Scene handle.
class Scene_Impl : public Resource_Impl {
public:
    using Resource_Impl::Resource_Impl;

    const std::string& name() const { return m_name; }
    const std::vector<std::string>& lights() const { return m_lights; }
    const std::string& group() const { return m_group; }
    const std::optional<std::tm>& lastupdated() const { return m_lastupdated; }

    // Reads "name", "lights", "group" and "lastupdated" where present, and
    // checks that an "active" is a boolean, though nothing uses it. A
    // "lastupdated" that is null or not a date text "YYYY-MM-DDTHH:MM:SS"
    // leaves none. Throws Json::Error for a value of the wrong type.
    void read(const Json::Value& scene);
    // The members read() reads.
    static constexpr std::string_view kRead[] = {"name", "lights", "active", "group",
                                                 "lastupdated"};

private:
    std::string m_name;
    std::vector<std::string> m_lights;
    std::string m_group;  // empty: no group scene
    std::optional<std::tm> m_lastupdated;
};

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_SCENE_IMPL_HPP_
