#ifndef GLOWRIG_SIM_CLIP_V2_HPP_
#define GLOWRIG_SIM_CLIP_V2_HPP_

#include <string>
#include <vector>

#include "json/value.hpp"
#include "sim/routes.hpp"
#include "sim/sim_bridge.hpp"

namespace Sim {

// The newer interface of a bridge (/clip/v2/resource/...), served from the
// same state as the older one. Every resource is made on demand from the
// older state and from "extras", which holds what the older state has no
// member for, as the fixture's "v2" member gives it:
//   "lights": {"<v1 id>": {"effects": {...}, "timed_effects": {...},
//              "gradient": {...}, "signaling": {...}, "dynamics": {...}}},
//             each block as GET shows it;
//   "scenes": {"<v1 id>": {"palette": {...}, "speed": 0.5, "auto_dynamic": false}};
//   "smart_scenes": [{"name", "group": "<v1 group id>",
//                     "timeslots": [{"hour", "minute", "scene": "<v1 scene id>"}]}];
//   "buttons": {"<v1 sensor id>": N} (a switch's buttons, default 4);
//   "invalid_put": "400" (default: a PUT with any refused member changes
//             nothing) or "207" (the valid members are carried out, the
//             others listed in "errors");
//   "rate_limit_status": 429 (default) or 503.
// Each light's and sensor's device has a zigbee_connectivity service
// ("connected" unless the older item's state.reachable / config.reachable is
// false) and a device_software_update service (from the older item's
// "swupdate": {"state": ...}, "no_update" without one), both read-only.
// Ids are name-based UUIDs: a light service's and a grouped light's from
// their id_v1 ("/lights/3", "/groups/1"), others from their type and id_v1
// ("device/lights/3", "room/groups/1", "button/sensors/5/2",
// "zigbee_connectivity/lights/3").

// Every resource of the newer interface, in the order GET /clip/v2/resource
// lists them.
Json::Value clip_resources(const Json::Value& state, const Json::Value& extras);

// Answers a request under /clip/v2 (`segments` the decoded path segments,
// "clip" first) for a key on the whitelist; the older state and the extras
// change together. `data` is the older interface's view of the state.
Reply route_clip_v2(BridgeData& data, Json::Value& extras, const std::string& method,
                    const std::vector<std::string>& segments, const std::string& body);

// {"errors": [{"description": `text`}], "data": []} with `status`.
Reply clip_error(int status, const std::string& text);

// The resources of the newer shape an event carries for the change of the
// older item `id_v1` ("/lights/3") of kind `kind` ("light", "grouped_light",
// "sensor") from `before` to `after` (both {state, extras} as snapshot() gives
// them): each with its id, id_v1, type, owner (and service_id for lights) and
// only the properties that changed. A light's or sensor's reachability is
// carried by its device's zigbee_connectivity item. A light whose older change
// its items cannot carry in full (a hue, an effect, a name) is named without
// properties, so that a reader asks for it; a light whose reachability alone
// changed gets no light item.
Json::Value clip_event_items(const std::string& kind, const std::string& id_v1,
                             const Json::Value& before, const Json::Value& after);

// The older light state members that the properties of `item` (a light of an
// event) give, applied to `state`: on, bri (round(brightness × 254 / 100),
// held to 1-254 while on), xy, ct and the colormode they set; of a
// zigbee_connectivity item, reachable from its status.
Json::Value older_light_state(const Json::Value& state, const Json::Value& item);

}  // namespace Sim

#endif  // GLOWRIG_SIM_CLIP_V2_HPP_
