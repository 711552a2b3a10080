#include "commands/groups.hpp"

#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands/bridge_selection.hpp"
#include "commands/json_option.hpp"
#include "commands/light_options.hpp"
#include "commands/output.hpp"
#include "commands/printout_builder.hpp"
#include "commands/render.hpp"
#include "hue/bridge.hpp"
#include "hue/groups.hpp"

namespace commands {
namespace {

namespace po = boost::program_options;

// Creates the group the options describe and returns the printout of the
// change, with the id the bridge gave it.
ChangePrintout create_group(const po::variables_map& options, const Hue::Groups& groups) {
    if (!options.count("name") || !options.count("l")) {
        throw UsageError(
            "When creating a new group, you must specify name and one or more lights.");
    }
    const std::optional<std::string> id =
        groups
            .create(options["name"].as<std::string>(), options["l"].as<std::vector<std::string>>())
            .get();
    return ChangePrintout{"Group created.", "created", id};
}

// Renames, re-members and changes the action of the group `id` and returns
// it as the bridge then reports it.
Hue::Group modify_group(const po::variables_map& options, const StateOptions& changes,
                        const Hue::Groups& groups, const std::string& id) {
    Hue::Group group = find_item(groups, id, "group");
    if (!group.whole()) group.refresh().get();  // old firmware: the listing named it only
    if (options.count("name")) group.set_name(options["name"].as<std::string>());
    if (options.count("l")) group.set_lights(options["l"].as<std::vector<std::string>>());
    if (options.count("name") || options.count("l")) group.save().get();
    Hue::GroupAction action = group.action();
    apply_state_options(changes, action);
    // A group's action is the last command sent to it, not the state of its
    // lights: every state option given is sent, whatever the action says.
    group.set_action(action, fields_given(changes));
    group.save_action(changes.transitiontime).get();
    group.refresh().get();
    return group;
}

}  // namespace

void run_groups_command(const po::variables_map& options, const Settings& settings,
                        const AppIdentity& computed) {
    const Output output(std::cout, std::cerr, wants_json(options));
    const auto [bridge, identity] = select_target(options, settings, computed);
    const Hue::Groups groups = bridge.get_groups(settings.client, identity).get();
    read_items_given_by_name(groups);
    render(output, groups_printout(groups));
}

void run_group_command(const po::variables_map& options, const Settings& settings,
                       const AppIdentity& computed) {
    const Output output(std::cout, std::cerr, wants_json(options));
    if (!options.count("id")) {
        throw UsageError("Error: required option 'id' is missing.  Try glowrig group -help");
    }
    const StateOptions changes = read_state_options(options);
    const std::string id = options["id"].as<std::string>();

    const auto [bridge, identity] = select_target(options, settings, computed);
    const Hue::Groups groups = bridge.get_groups(settings.client, identity).get();
    if (id == "new") {
        render(output, create_group(options, groups));
    } else if (options.count("delete")) {
        // The bridge decides whether the group exists; a refusal fails here.
        groups.remove(id).get();
        render(output, ChangePrintout{"Group Deleted.", "deleted", id});
    } else {
        render(output,
               GroupsPrintout{{group_printout(modify_group(options, changes, groups, id))}});
    }
}

}  // namespace commands
