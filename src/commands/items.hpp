#ifndef GLOWRIG_COMMANDS_ITEMS_HPP_
#define GLOWRIG_COMMANDS_ITEMS_HPP_

#include <chrono>
#include <locale>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <boost/algorithm/string/predicate.hpp>

#include "util/printable.hpp"

namespace Commands {

// The item of `list` (lights, groups or schedules, which hold each id once)
// whose id is `id`. Throws std::runtime_error "Error: no WHAT with id ID."
// when the list holds none.
template <class List>
auto find_item(const List& list, const std::string& id, const char* what) {
    for (const auto& item : list) {
        if (item.id() == id) return item;
    }
    throw std::runtime_error(std::string("Error: no ") + what + " with id " + id + ".");
}

// True when `list` holds an item whose id is `id`.
template <class List>
bool holds_item(const List& list, const std::string& id) {
    for (const auto& item : list) {
        if (item.id() == id) return true;
    }
    return false;
}

// The id that `given`, an --id value, names in `list` (lights, groups,
// schedules or scenes, as the command read them anyway): `given` itself when
// an item has that id, for an id always wins over a name; else the id of the
// one item whose whole name is `given`, letter case aside; else `given`
// unchanged, for the caller to refuse or to leave to the bridge. Throws
// std::runtime_error "Error: more than one WHAT is named NAME: ids 1, 5."
// when several items carry that name.
template <class List>
std::string id_named(const List& list, const std::string& given, const char* what) {
    std::vector<std::string> named;
    for (const auto& item : list) {
        if (item.id() == given) return given;
        // Letter case aside, as in the classic locale: ASCII letters only.
        if (boost::algorithm::iequals(item.name(), given, std::locale::classic())) {
            named.push_back(item.id());
        }
    }
    if (named.empty()) return given;
    if (named.size() == 1) return named.front();
    std::string ids;
    for (const auto& id : named) ids += (ids.empty() ? "" : ", ") + id;
    throw std::runtime_error(std::string("Error: more than one ") + what + " is named " +
                             Util::printable(given) + ": ids " + Util::printable(ids) + ".");
}

// The id a delete's --id (`given`) names in `list`, as id_named finds it.
// An id or name `list` does not hold is refused with std::runtime_error
// "Error: no WHAT with id or name GIVEN.", before anything is sent, unless it
// is all digits: the bridge decides about such an id.
template <class List>
std::string id_to_delete(const List& list, const std::string& given, const char* what) {
    const std::string id = id_named(list, given, what);
    const bool digits = !id.empty() && id.find_first_not_of("0123456789") == std::string::npos;
    if (!digits && !holds_item(list, id)) {
        throw std::runtime_error(std::string("Error: no ") + what + " with id or name " +
                                 Util::printable(given) + ".");
    }
    return id;
}

// The pause before each read of an item that a listing gave by name alone.
constexpr std::chrono::milliseconds kItemReadPause(100);

// Reads again, one at a time, the items of `list` (lights, groups or
// schedules) that the listing did not give whole, waiting kItemReadPause
// before each read; items the listing gave whole are not read again. The
// listings of bridges with current firmware hold every item whole, so this
// reads nothing there. Old firmware listed each item by its name alone: its
// items must be read one by one, and the pause keeps those bridges, slow to
// answer, from being flooded with a burst of reads (as glowrig always did).
template <class List>
void read_items_given_by_name(const List& list) {
    for (auto item : list) {  // a copy of the handle shares the item's state
        if (item.whole()) continue;
        std::this_thread::sleep_for(kItemReadPause);
        item.refresh();
    }
}

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_ITEMS_HPP_
