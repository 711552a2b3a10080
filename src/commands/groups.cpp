#include "commands/groups.hpp"

#include <algorithm>
#include <iostream>
#include <locale>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <boost/algorithm/string/predicate.hpp>

#include "access/bridge_selection.hpp"
#include "commands/bridge_error_advice.hpp"
#include "commands/brief_printouts.hpp"
#include "commands/colour_options.hpp"
#include "commands/items.hpp"
#include "commands/newer_light_options.hpp"
#include "commands/output.hpp"
#include "commands/printout_builder.hpp"
#include "commands/render.hpp"
#include "commands/state_changes.hpp"
#include "commands/usage_error.hpp"
#include "hue/bridge.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "util/printable.hpp"

namespace Commands {
namespace {

// The member lights -l names: their ids and names, in the order given.
struct Members {
    std::vector<std::string> ids;
    std::vector<std::string> names;
};

// The lights that `given` (-l values: ids or whole names) name, in their
// order, from one read of the lights listing. Throws std::runtime_error
// "Error: no light with id or name X." for a value that names no light.
Members member_ids(const GroupOptions& options, const Settings& settings,
                   const Access::Target& target) {
    Members members;
    if (options.lights.empty()) return members;
    const Hue::Lights lights = target.bridge.get_lights(settings.client, target.identity);
    for (const std::string& given : options.lights) {
        const std::string id = id_named(lights, given, "light");
        if (!holds_item(lights, id)) {
            throw std::runtime_error("Error: no light with id or name " + Util::printable(given) +
                                     ".");
        }
        members.ids.push_back(id);
        members.names.push_back(find_item(lights, id, "light").name());
    }
    return members;
}

// The classes a bridge takes for a room or zone, spelt as it takes them.
constexpr const char* kRoomClasses[] = {
    "Living room", "Kitchen", "Dining",   "Bedroom", "Kids bedroom", "Bathroom",   "Nursery",
    "Recreation",  "Office",  "Gym",      "Hallway", "Toilet",       "Front door", "Garage",
    "Terrace",     "Garden",  "Driveway", "Carport", "Other"};

// The class `given` names, letter case aside, spelt as the bridge takes it.
std::optional<std::string> room_class(const std::string& given) {
    for (const char* known : kRoomClasses) {
        if (boost::algorithm::iequals(known, given, std::locale::classic())) return known;
    }
    return std::nullopt;
}

// The group type a bridge reports for each --type word.
constexpr const char* kRoom = "Room";
constexpr const char* kZone = "Zone";
constexpr const char* kLightGroup = "LightGroup";

// Whether `group` is of the kind `type` (group, room or zone) names; a
// group without a type (old firmware) is a plain group.
bool of_type(const Hue::Group& group, const std::string& type) {
    const std::string reported = group.type().value_or(kLightGroup);
    if (type == "room") return reported == kRoom;
    if (type == "zone") return reported == kZone;
    return reported == kLightGroup;
}

// Refuses to make the lights `members` those of room `id` (empty: a new
// one) when one of them is in another room already: the bridge keeps a
// light in one room at most.
void refuse_second_room(const Hue::Groups& groups, const Members& members, const std::string& id) {
    for (std::size_t i = 0; i < members.ids.size(); ++i) {
        for (const auto& group : groups) {
            if (group.id() == id || group.type() != kRoom) continue;
            const auto lights = group.lights();
            if (std::find(lights.begin(), lights.end(), members.ids[i]) == lights.end()) continue;
            throw std::runtime_error("Error: light " + Util::printable(members.ids[i]) + " (" +
                                     Util::printable(members.names[i]) + ") is in room " +
                                     Util::printable(group.name()) +
                                     " already; a light can be in one room.");
        }
    }
}

// Refuses to give group `id` (empty: a new one) the name `name` when another
// group has it, letter case aside: the name would no longer name one group.
void refuse_name_taken(const Hue::Groups& groups, const std::string& name, const std::string& id) {
    for (const auto& group : groups) {
        if (group.id() != id &&
            boost::algorithm::iequals(group.name(), name, std::locale::classic())) {
            throw std::runtime_error("Error: group " + Util::printable(group.id()) + " is named " +
                                     Util::printable(group.name()) + " already.");
        }
    }
}

// Creates the group the options describe, of the lights `members`, and
// returns the printout of the change, with the id the bridge gave it. A
// plain group is sent as ever, without a type.
ChangePrintout create_group(const GroupOptions& options, const Hue::Groups& groups,
                            const Members& members) {
    Hue::GroupKind kind;
    if (options.type == "room" || options.type == "zone") {
        kind.type = options.type == "room" ? kRoom : kZone;
        if (options.group_class) kind.group_class = room_class(*options.group_class);
    }
    if (kind.type == kRoom) refuse_second_room(groups, members, std::string());
    const std::optional<std::string> id = groups.create(*options.name, members.ids, kind);
    return ChangePrintout{"Group created.", "created", id};
}

// The group `id` of `groups`. Group 0, all lights, is on no listing; every
// option sent to it is sent whatever it reports, so it is not read first.
Hue::Group group_to_change(const std::string& id, const Hue::Groups& groups) {
    if (id == Hue::kAllLights) {
        for (const auto& group : groups) {
            if (group.id() == id) return group;
        }
        return groups.all_lights();
    }
    Hue::Group group = find_item(groups, id, "group");
    if (!group.whole()) group.refresh();  // old firmware: the listing named it only
    return group;
}

// Renames, re-members (with the lights `members`) and changes the action of
// the group `id` and returns it as the bridge then reports it.
Hue::Group modify_group(const std::string& id, const GroupOptions& options,
                        const Hue::Groups& groups, const Members& members, const Output& output) {
    Hue::Group group = group_to_change(id, groups);
    if (!members.ids.empty() && group.type() == kRoom) refuse_second_room(groups, members, id);
    const Hue::GroupAction action = group_action(group, options, output);
    if (options.name) group.set_name(*options.name);
    if (!members.ids.empty()) group.set_lights(members.ids);
    if (options.name || !members.ids.empty()) group.save();
    // A group's action is the last command sent to it, not the state of its
    // lights: every state option given is sent, whatever the action says.
    group.set_action(action, fields_given(options));
    group.save_action(options.trans.value_or(0));
    group.refresh();
    return group;
}

}  // namespace

Hue::GroupAction group_action(Hue::Group& group, const StateOptions& options,
                              const Output& output) {
    Hue::GroupAction action = group.action();
    apply_colour_options(options, colour_target(group), output, action);
    // A toggle turns the group off when any of its lights is on, as the
    // bridge reports it; else it goes by the last action. Group 0, of which
    // nothing is known from the listing, is read for it first.
    if (options.toggle) {
        if (!group.whole()) {
            group.refresh();
            action = group.action();
        }
        action.on = group.any_on().value_or(action.on);
    }
    apply_state_options(options, action);
    return action;
}

void check_group_options(const GroupOptions& options) {
    check_state_options(options);
    check_newer_options(options, true);
    if ((options.id == "new" || options.remove) && !newer_option(options).empty()) {
        throw UsageError("Error: " + newer_option(options) + " changes a group that exists.");
    }
    if (options.id == "new" && (!options.name || options.lights.empty())) {
        throw UsageError(
            "When creating a new group, you must specify name and one or more lights.");
    }
    if (options.id == Hue::kAllLights &&
        (options.remove || options.name || !options.lights.empty())) {
        throw UsageError(
            "Error: group 0 is every light of the bridge: it cannot be renamed, re-membered or "
            "deleted.");
    }
    if ((options.type || options.group_class) && options.id != "new") {
        throw UsageError("Error: options --type and --class are for a new group (--id=new).");
    }
    if (options.group_class && options.type != "room" && options.type != "zone") {
        throw UsageError("Error: option --class is for a room or a zone (--type=room or zone).");
    }
    if (options.group_class && !room_class(*options.group_class)) {
        std::string known;
        const std::size_t count = std::size(kRoomClasses);
        for (std::size_t i = 0; i < count; ++i) {
            known += std::string(i == 0 ? "" : i + 1 == count ? " or " : ", ") + kRoomClasses[i];
        }
        throw UsageError("Error: option 'class' must be " + known + ".");
    }
}

void run_groups_command(const GroupsOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output) {
    const Hue::Groups groups = target.bridge.get_groups(settings.client, target.identity);
    // Groups given by name alone are read before they are sorted by type.
    read_items_given_by_name(groups);
    Hue::Groups kept(groups.client());
    for (const auto& group : groups) {
        if (!options.type || of_type(group, *options.type)) kept.add(group);
    }
    if (options.brief && !output.json()) {
        // The members' names and states come from the lights listing.
        const Hue::Lights lights = target.bridge.get_lights(settings.client, target.identity);
        print_brief(output.out(), groups_brief(kept, lights));
        return;
    }
    render(output, groups_printout(kept));
}

void run_group_command(const GroupOptions& options, const Settings& settings,
                       const Access::Target& target, const Output& output) {
    require_newer(options, target);
    const Hue::Groups groups = target.bridge.get_groups(settings.client, target.identity);
    if (options.id == "new") {
        refuse_name_taken(groups, *options.name, std::string());
        render(output, create_group(options, groups, member_ids(options, settings, target)));
        return;
    }
    if (options.remove) {
        const std::string id = id_to_delete(groups, options.id, "group");
        // The bridge decides whether a group given by its number exists; a
        // refusal fails here.
        remove_with_advice("group", id, [&] { groups.remove(id); });
        render(output, ChangePrintout{"Group Deleted.", "deleted", id});
        return;
    }
    // Group 0 is on no listing, yet always an id.
    const std::string id =
        options.id == Hue::kAllLights ? options.id : id_named(groups, options.id, "group");
    if (options.name) refuse_name_taken(groups, *options.name, id);
    const Members members = member_ids(options, settings, target);
    std::string what = "group " + Util::printable(id);
    if (holds_item(groups, id))
        what += " (" + Util::printable(find_item(groups, id, "group").name()) + ")";
    const std::vector<NewerChange> newer =
        newer_changes(options, "grouped_light", {{"/groups/" + id, what}}, settings, target);
    const Hue::Group group = modify_group(id, options, groups, members, output);
    for (const NewerChange& change : newer) send_newer(change, settings, target);
    render(output, GroupsPrintout{{group_printout(group)}});
}

}  // namespace Commands
