#ifndef GLOWRIG_HUE_DETAILS_RESOURCE_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_RESOURCE_IMPL_HPP_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <cpprest/json.h>

#include "hue/client.hpp"

namespace Hue {
namespace details {

// What the state of every listed resource (light, group, schedule, scene,
// sensor, rule) holds: a copy of its collection's client and its id. The
// state classes derive from it; not copyable; not synchronised (callers wait
// for each task).
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
// throw web::json::json_exception when the value has another type.
inline void read_field(const web::json::value& object, const char* key, std::string& field) {
    if (object.has_field(key)) field = object.at(key).as_string();
}
inline void read_field(const web::json::value& object, const char* key, bool& field) {
    if (object.has_field(key)) field = object.at(key).as_bool();
}
inline void read_field(const web::json::value& object, const char* key, std::int32_t& field) {
    if (object.has_field(key)) field = object.at(key).as_integer();
}
// A list of strings is emptied, then refilled in order.
inline void read_field(const web::json::value& object, const char* key,
                       std::vector<std::string>& field) {
    if (!object.has_field(key)) return;
    const web::json::array& texts = object.at(key).as_array();
    field.clear();
    for (const auto& text : texts) field.push_back(text.as_string());
}

// The writer of change bodies: sets body[key] to `wanted` when it differs
// from `reported`, as a JSON string, boolean or number.
inline web::json::value json_of(const std::string& text) { return web::json::value::string(text); }
inline web::json::value json_of(bool flag) { return web::json::value::boolean(flag); }
inline web::json::value json_of(int number) { return web::json::value::number(number); }
template <class T>
void put_change(web::json::value& body, const char* key, const T& wanted, const T& reported) {
    if (wanted != reported) body[key] = json_of(wanted);
}

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_RESOURCE_IMPL_HPP_
