#ifndef GLOWRIG_HUE_DETAILS_RESOURCE_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_RESOURCE_IMPL_HPP_

#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hue/client.hpp"
#include "hue/details/requests.hpp"
#include "json/parse.hpp"
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

    // The member of a listing that is no item of it (as "lastscan" beside new
    // lights); null: none.
    static constexpr const char* kNotAnItem = nullptr;

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

// Reads the items of a listing, a JSON object keyed by id, as the parser
// meets them: each member but the one named Impl::kNotAnItem (when not null)
// gets a new Impl(client, id) that reads, of the member's value, only the
// members named in Impl::kRead. list() then gives them in id order, as if
// they had been read in that order from a tree: it throws what the first item
// in id order threw, Json::Error "not an object" for a value that is no object.
template <class List, class Item, class Impl>
class ItemReader {
public:
    explicit ItemReader(const Client& client) : m_client(client) {
        for (const std::string_view name : Impl::kRead) m_item.members.push_back({name});
        m_items.item = &m_item;
        m_items.take = [this](std::string id, Json::Value value) { take(std::move(id), value); };
    }
    ItemReader(const ItemReader&) = delete;
    ItemReader& operator=(const ItemReader&) = delete;

    // The shape that hands this reader the items of the object it applies to.
    const Json::Shape& shape() const { return m_items; }

    // The list of the items read, from `object`, the value the shape applied
    // to as the parser built it; called once, after the parse. Throws
    // Json::Error "not an object" when that is not an object, else what the
    // first item in id order threw.
    List list(const Json::Value& object) {
        List list(m_client);
        Json::as_object(object);
        std::sort(m_read.begin(), m_read.end(),
                  [](const Read& a, const Read& b) { return a.id < b.id; });
        list.reserve(m_read.size());
        for (const Read& read : m_read) {
            if (read.failure) std::rethrow_exception(read.failure);
            list.add(Item(read.impl));
        }
        return list;
    }

private:
    struct Read {
        std::string id;
        std::shared_ptr<Impl> impl;
        std::exception_ptr failure;  // what reading it threw
    };

    void take(std::string id, const Json::Value& value) {
        if (Impl::kNotAnItem != nullptr && id == Impl::kNotAnItem) return;
        Read read{std::move(id), nullptr, nullptr};
        try {
            if (!value.is_object()) throw Json::Error("not an object");
            read.impl = std::make_shared<Impl>(m_client, read.id);
            read.impl->read(value);
        } catch (...) {
            read.failure = std::current_exception();
        }
        m_read.push_back(std::move(read));
    }

    const Client m_client;
    Json::Shape m_item;
    Json::Shape m_items;
    std::vector<Read> m_read;  // in the order of the text
};

// Builds a List of Items from `object`, a JSON object keyed by id, as
// ItemReader reads it.
template <class List, class Item, class Impl>
List read_items(const Client& client, const Json::Value& object) {
    ItemReader<List, Item, Impl> reader(client);
    return reader.list(Json::reshape(object, reader.shape()));
}

// Reads the reply to `request` of `path` of `client`, a listing, as ItemReader
// reads it, after the request's reply step.
template <class List, class Item, class Impl>
List read_listing(const Client& client, Request request, const std::string& path) {
    ItemReader<List, Item, Impl> reader(client);
    return reader.list(send_read(client, request, path, reader.shape()));
}

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_RESOURCE_IMPL_HPP_
