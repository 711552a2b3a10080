#ifndef GLOWRIG_SIM_ROUTES_HPP_
#define GLOWRIG_SIM_ROUTES_HPP_

#include <functional>
#include <string>
#include <vector>

#include "json/value.hpp"
#include "sim/sim_bridge.hpp"

namespace Sim {

// What a resource handler sees of one request under /api/{user}/.
struct Route {
    std::string method;
    std::vector<std::string> rest;  // decoded path segments after the resource name
    std::string address;            // "/" + resource + rest, for replies
    Json::Value body;               // null when there is none
};

// The state a handler works on; the bridge's lock is held.
struct BridgeData {
    Json::Value& state;
    Json::Value& new_lights;  // lights the next search finds, keyed by id
    Json::Value& scan;        // what GET lights/new answers
    bool link_button;
    bool generate_names;  // ignore the requested user name, always generate one
    Listings listings;    // what the listings give of each item
};

// Error element types a bridge uses.
enum ErrorType {
    kUnauthorized = 1,
    kInvalidJson = 2,
    kNotAvailable = 3,
    kMethodNotAvailable = 4,
    kMissingParameter = 5,
    kInvalidValue = 7,
    kLinkButtonNotPressed = 101,
};

// {"error": {"type", "address", "description"}}.
Json::Value error_element(int type, const std::string& address, const std::string& description);
// A 200 reply holding one error element.
Reply error_reply(int type, const std::string& address, const std::string& description);
// The error for a resource that does not exist.
Reply not_available(const std::string& address);
// The reply to GET of the listing `items` (lights, groups or schedules, keyed
// by id): the items as they are, or some or all of them by name alone
// ({"name": ...}, or {} for an item without one), as `shape` says.
Reply listing_reply(const Json::Value& items, Listings shape);
// A 200 reply with a JSON body.
Reply json_reply(const Json::Value& body);
// The error for a method the resource does not offer.
Reply method_not_available(const Route& route);
// {"success": "{address} deleted"}.
Json::Value deleted(const std::string& address);
// {"success": {address: value}}.
Json::Value success(const std::string& address, const Json::Value& value);
// The member `key` of `object`, created as an empty object when absent.
Json::Value& member(Json::Value& object, const std::string& key);
// The current time as a bridge writes it: 2014-05-01T07:00:00.
std::string now_text();

// Sets each member of `body` that `accepts` on `target` and answers with one
// element per member: a success, or an invalid-value error. A body that is
// not an object gets the invalid-JSON error. `address` names `target`.
Reply change_members(Json::Value& target, const Json::Value& body, const std::string& address,
                     const std::function<bool(const std::string&, const Json::Value&)>& accepts);

// Applies the light state keys of `body` to `state` (a light's "state" or a
// group's "action") and returns the reply array, one element per key, each
// for "{address}/{key}" (`address` names the state: "/lights/1/state").
Json::Value apply_light_state(Json::Value& state, const Json::Value& body,
                              const std::string& address);

// Handlers of the resources; each answers every method on its resource.
Reply route_config(BridgeData& data, const Route& route);
Reply route_lights(BridgeData& data, const Route& route);
Reply route_groups(BridgeData& data, const Route& route);
Reply route_schedules(BridgeData& data, const Route& route);
// GET sensors gives every sensor, GET sensors/{id} one whole; PUT
// sensors/{id}/config sets its "on".
Reply route_sensors(BridgeData& data, const Route& route);
// GET scenes gives every scene without its "lightstates"; GET scenes/{id}
// the scene whole.
Reply route_scenes(BridgeData& data, const Route& route);
// `scenes` (keyed by id) as GET scenes and the whole state give them: each
// without its "lightstates".
Json::Value scenes_listing(const Json::Value& scenes);
// Recalls the scene `scene_id` in the group whose member ids are `members`
// (null: every light, group 0): each light of the scene's "lightstates" that
// is on the bridge and in the group takes its stored state. Returns the
// reply element for "{address}/scene" (`address`: "/groups/1/action"): a success, or an
// invalid-value error for a scene the bridge does not have (nothing changes then).
Json::Value recall_scene(BridgeData& data, const Json::Value& scene_id, const Json::Value* members,
                         const std::string& address);
// POST /api: user creation. A requested name of 10 to 40 letters and digits is
// granted as it is; any other is refused with an invalid-value error for
// "/username" beside the grant of a generated name (32 hex digits). Without a
// requested name, or with data.generate_names, a generated name is granted.
Reply create_user(BridgeData& data, const Json::Value& body);
// GET /api/{user}/config for a user not on the whitelist.
Reply unauthorized_config(const BridgeData& data);

}  // namespace Sim

#endif  // GLOWRIG_SIM_ROUTES_HPP_
