#ifndef GLOWRIG_HUE_V2_BUTTON_CONTROLS_HPP_
#define GLOWRIG_HUE_V2_BUTTON_CONTROLS_HPP_

#include <string>

#include "hue/client.hpp"
#include "hue/v2/event_properties.hpp"

namespace Hue::V2 {

// The control id of each button service of `data`, the array of a listing
// of the newer interface; services without an id or an integer
// metadata.control_id are left out.
ButtonControls button_controls(const Json::Value& data);

// The control ids of the bridge's buttons from one GET
// /clip/v2/resource/button on the peer of `client`, `key` as the key field.
// Throws Http::Failure as the exchange does, Json::ParseError for a reply
// that is not JSON.
ButtonControls read_button_controls(const Client& client, const std::string& key);

}  // namespace Hue::V2

#endif  // GLOWRIG_HUE_V2_BUTTON_CONTROLS_HPP_
