#ifndef GLOWRIG_HUE_DETAILS_RESOURCE_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_RESOURCE_IMPL_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "hue/client.hpp"
#include "json/value.hpp"

namespace Hue {
namespace details {

// What the state of every listed resource (light, group, schedule, scene,
// sensor, rule) holds: a copy of its collection's client and its id. The
// state classes derive from it; not copyable; not synchronised.
class Resource_Impl {
public:
    Resource_Impl(const Client& client, std::string id) : m_client(client), m_id(std::move(id)) {}
    Resource_Impl(const Resource_Impl&) = delete;
    Resource_Impl& operator=(const Resource_Impl&) = delete;

    // The client of the collection's resource (lights, groups, ...).
    const Client& client() const { return m_client; }
    const std::string& id() const { return m_id; }

    // The path of this resource relative to the client: the id encoded as one
    // path segment.
    std::string path() const { return path_segment(m_id); }

protected:
    ~Resource_Impl() = default;

private:
    const Client m_client;
    const std::string m_id;
};

// The readers of optional members: each replaces `field` with the value of
// `key` when `object` has that key, and otherwise leaves it as it is. They
// throw Json::Error when the value has another type.
inline void read_field(const Json::Value& object, const char* key, std::string& field) {
    if (const Json::Value* value = Json::find(object, key)) field = Json::as_string(*value);
}
inline void read_field(const Json::Value& object, const char* key, bool& field) {
    if (const Json::Value* value = Json::find(object, key)) field = Json::as_bool(*value);
}
inline void read_field(const Json::Value& object, const char* key, std::int32_t& field) {
    if (const Json::Value* value = Json::find(object, key)) field = Json::as_int(*value);
}
// A list of strings is emptied, then refilled in order.
inline void read_field(const Json::Value& object, const char* key,
                       std::vector<std::string>& field) {
    const Json::Value* value = Json::find(object, key);
    if (value == nullptr) return;
    const Json::Value::array_t& texts = Json::as_array(*value);
    field.clear();
    for (const auto& text : texts) field.push_back(Json::as_string(text));
}

// The writer of change bodies: sets body[key] to `wanted` when it differs
// from `reported`, as a JSON string, boolean or number.
template <class T>
void put_change(Json::Value& body, const char* key, const T& wanted, const T& reported) {
    if (wanted != reported) body[key] = wanted;
}

// Builds a List of Items from `object`, a JSON object keyed by id, in key
// order, skipping the member named `skip` (when not null). Each item gets a
// new Impl(client, id) that reads the member's value. Throws Json::Error when
// `object` or a value is not an object or a value has a wrong type.
template <class List, class Item, class Impl>
List read_items(const Client& client, const Json::Value& object, const char* skip = nullptr) {
    List list(client);
    const auto& members = Json::as_object(object);
    list.reserve(members.size());
    for (const auto& [key, member] : members) {
        if (skip != nullptr && key == skip) continue;
        if (!member.is_object()) throw Json::Error("not an object");
        auto impl = std::make_shared<Impl>(client, key);
        impl->read(member);
        list.add(Item(impl));
    }
    return list;
}

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_RESOURCE_IMPL_HPP_
