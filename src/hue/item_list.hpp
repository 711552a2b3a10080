#ifndef GLOWRIG_HUE_ITEM_LIST_HPP_
#define GLOWRIG_HUE_ITEM_LIST_HPP_

#include <memory>
#include <string>
#include <vector>

#include "hue/client.hpp"

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

}  // namespace Hue

#endif  // GLOWRIG_HUE_ITEM_LIST_HPP_
