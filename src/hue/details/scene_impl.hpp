#ifndef GLOWRIG_HUE_DETAILS_SCENE_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_SCENE_IMPL_HPP_

#include <string>
#include <vector>

#include <cpprest/json.h>

#include "hue/client.hpp"

namespace Hue {
namespace details {

// The state behind a Scene handle.
class Scene_Impl {
public:
    Scene_Impl(const Client& client_, std::string id_) : client(client_), id(std::move(id_)) {}
    Scene_Impl(const Scene_Impl&) = delete;
    Scene_Impl& operator=(const Scene_Impl&) = delete;

    // Reads "name", "lights" and "active" where present. Throws
    // web::json::json_exception for a value of the wrong type.
    void read(const web::json::value& scene);

    Client client;
    std::string id;
    std::string name;
    std::vector<std::string> lights;
    bool active = false;
};

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_SCENE_IMPL_HPP_
