#ifndef GLOWRIG_HUE_ITEM_LIST_HPP_
#define GLOWRIG_HUE_ITEM_LIST_HPP_

#include <memory>
#include <set>
#include <string>
#include <vector>

#include <cpprest/json.h>

#include "hue/client.hpp"
#include "hue/text.hpp"

namespace Hue {

// An ordered list of resource handles plus a copy of their resource's client:
// the shape every collection of the bridge's resources shares.
template <class Item>
class ItemList {
public:
    using iterator = typename std::vector<Item>::iterator;
    using const_iterator = typename std::vector<Item>::const_iterator;

    // An empty list holding the placeholder client.
    ItemList() = default;
    explicit ItemList(const Client& client) : m_client(client) {}

    // Appends `item` (a handle: its state stays shared).
    void add(const Item& item) { m_items.push_back(item); }
    void reserve(std::size_t count) { m_items.reserve(count); }

    iterator begin() { return m_items.begin(); }
    iterator end() { return m_items.end(); }
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }
    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }

    // The client of the list's resource.
    const Client& client() const { return m_client; }

private:
    std::vector<Item> m_items;
    Client m_client;
};

// Builds a List of Items from `object`, a JSON object keyed by id, in key
// order, skipping the member named `skip` (when not null) and every repeat of
// an id already read: one item per id. Each item gets a new Impl(client, id)
// that reads the member's value. Throws web::json::json_exception when
// `object` or a value is not an object or a value has a wrong type.
template <class List, class Item, class Impl>
List read_items(const Client& client, const web::json::value& object, const char* skip = nullptr) {
    List list(client);
    const auto& members = object.as_object();
    list.reserve(members.size());
    std::set<std::string> ids;
    for (const auto& [key, member] : members) {
        if (skip != nullptr && key == skip) continue;
        if (!ids.insert(key).second) continue;
        if (!member.is_object()) throw web::json::json_exception("not an object");
        auto impl = std::make_shared<Impl>(client, key);
        impl->read(member);
        list.add(Item(impl));
    }
    return list;
}

}  // namespace Hue

#endif  // GLOWRIG_HUE_ITEM_LIST_HPP_
