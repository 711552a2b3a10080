#include "commands/groups.hpp"

#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "access/bridge_selection.hpp"
#include "commands/bridge_error_advice.hpp"
#include "commands/colour_options.hpp"
#include "commands/items.hpp"
#include "commands/output.hpp"
#include "commands/printout_builder.hpp"
#include "commands/render.hpp"
#include "commands/state_changes.hpp"
#include "commands/usage_error.hpp"
#include "hue/bridge.hpp"
#include "hue/groups.hpp"

namespace Commands {
namespace {

// Creates the group the options describe and returns the printout of the
// change, with the id the bridge gave it.
ChangePrintout create_group(const GroupOptions& options, const Hue::Groups& groups) {
    const std::optional<std::string> id = groups.create(*options.name, options.lights);
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

// Renames, re-members and changes the action of the group `id` and returns
// it as the bridge then reports it.
Hue::Group modify_group(const std::string& id, const GroupOptions& options,
                        const Hue::Groups& groups, const Output& output) {
    Hue::Group group = group_to_change(id, groups);
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
    if (options.name) group.set_name(*options.name);
    if (!options.lights.empty()) group.set_lights(options.lights);
    if (options.name || !options.lights.empty()) group.save();
    apply_state_options(options, action);
    // A group's action is the last command sent to it, not the state of its
    // lights: every state option given is sent, whatever the action says.
    group.set_action(action, fields_given(options));
    group.save_action(options.trans.value_or(0));
    group.refresh();
    return group;
}

}  // namespace

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

void run_groups_command(const ListingOptions&, const Settings& settings,
                        const Access::Target& target, const Output& output) {
    const Hue::Groups groups = target.bridge.get_groups(settings.client, target.identity);
    read_items_given_by_name(groups);
    render(output, groups_printout(groups));
}

void run_group_command(const GroupOptions& options, const Settings& settings,
                       const Access::Target& target, const Output& output) {
    const Hue::Groups groups = target.bridge.get_groups(settings.client, target.identity);
    if (options.id == "new") {
        render(output, create_group(options, groups));
        return;
    }
    // Group 0 is on no listing, yet always an id.
    const std::string id =
        options.id == Hue::kAllLights ? options.id : id_named(groups, options.id, "group");
    if (options.remove) {
        // The bridge decides whether the group exists; a refusal fails here.
        remove_with_advice("group", id, [&] { groups.remove(id); });
        render(output, ChangePrintout{"Group Deleted.", "deleted", id});
    } else {
        render(output, GroupsPrintout{{group_printout(modify_group(id, options, groups, output))}});
    }
}

}  // namespace Commands
