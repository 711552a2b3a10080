#include "commands/groups.hpp"

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

// The ids of the lights that `given` (-l values: ids or whole names) name, in
// their order, from one read of the lights listing. Throws std::runtime_error
// "Error: no light with id or name X." for a value that names no light.
std::vector<std::string> member_ids(const GroupOptions& options, const Settings& settings,
                                    const Access::Target& target) {
    std::vector<std::string> ids;
    if (options.lights.empty()) return ids;
    const Hue::Lights lights = target.bridge.get_lights(settings.client, target.identity);
    for (const std::string& given : options.lights) {
        const std::string id = id_named(lights, given, "light");
        if (!holds_item(lights, id)) {
            throw std::runtime_error("Error: no light with id or name " + Util::printable(given) +
                                     ".");
        }
        ids.push_back(id);
    }
    return ids;
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
// returns the printout of the change, with the id the bridge gave it.
ChangePrintout create_group(const GroupOptions& options, const Hue::Groups& groups,
                            const std::vector<std::string>& members) {
    const std::optional<std::string> id = groups.create(*options.name, members);
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
                        const Hue::Groups& groups, const std::vector<std::string>& members,
                        const Output& output) {
    Hue::Group group = group_to_change(id, groups);
    const Hue::GroupAction action = group_action(group, options, output);
    if (options.name) group.set_name(*options.name);
    if (!members.empty()) group.set_lights(members);
    if (options.name || !members.empty()) group.save();
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
}

void run_groups_command(const BriefListingOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output) {
    const Hue::Groups groups = target.bridge.get_groups(settings.client, target.identity);
    read_items_given_by_name(groups);
    if (options.brief && !output.json()) {
        // The members' names and states come from the lights listing.
        const Hue::Lights lights = target.bridge.get_lights(settings.client, target.identity);
        print_brief(output.out(), groups_brief(groups, lights));
        return;
    }
    render(output, groups_printout(groups));
}

void run_group_command(const GroupOptions& options, const Settings& settings,
                       const Access::Target& target, const Output& output) {
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
    const std::vector<std::string> members = member_ids(options, settings, target);
    render(output,
           GroupsPrintout{{group_printout(modify_group(id, options, groups, members, output))}});
}

}  // namespace Commands
