#ifndef GLOWRIG_SIM_EVENT_DATA_HPP_
#define GLOWRIG_SIM_EVENT_DATA_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "json/value.hpp"

namespace Sim {

// One resource a change of the state touched.
struct ResourceChange {
    std::string type;   // of its container: "update", "add" or "delete"
    std::string kind;   // "light", "grouped_light" or "sensor"
    std::string id_v1;  // "/lights/3", "/groups/1", "/sensors/5"
    // The resources of the newer shape the event carries for it, with the
    // properties that changed; empty: one naming it by id, id_v1 and kind.
    Json::Value items = Json::Value::array();
};

// The lights, groups and sensors of `state`: what the event stream reports on.
// A collection the state lacks, or holds as anything but an object, is empty.
Json::Value watched_collections(const Json::Value& state);

// What differs between two results of watched_collections(): an item present
// only in `after` is added, one only in `before` deleted, one whose content
// differs in any way updated. Ordered update, add, delete; within each, lights,
// groups, sensors, each by id as its collection orders them.
std::vector<ResourceChange> resource_changes(const Json::Value& before, const Json::Value& after);

// The data of the event `event_id` made at `unix_seconds`: a JSON array on one
// line holding a container per type of change that occurs, in the order of
// `changes`, with its resources in that order:
// {"creationtime":"2026-12-08T14:03:07Z","data":[{"id":..,"id_v1":..,"type":..}],"id":..,"type":..}.
// A resource's id is derived from its id_v1, a container's from the event id
// and its type, so the same event gives the same text.
std::string event_data(const std::vector<ResourceChange>& changes, std::int64_t unix_seconds,
                       const std::string& event_id);

// A 36-character id in the form of a UUID ("8-4-4-4-12" lower-case hex digits,
// version 8, variant 10) derived from the SHA-256 digest of `name`.
std::string uuid_from(const std::string& name);

}  // namespace Sim

#endif  // GLOWRIG_SIM_EVENT_DATA_HPP_
