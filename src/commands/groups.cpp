#include "commands/groups.hpp"

#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands/bridge_selection.hpp"
#include "commands/items.hpp"
#include "commands/json_output.hpp"
#include "commands/lights.hpp"
#include "commands/printable.hpp"
#include "commands/state_changes.hpp"
#include "commands/usage_error.hpp"
#include "hue/bridge.hpp"
#include "hue/groups.hpp"

namespace commands {
namespace {

// The bits that make the colour mode and its values worth printing.
constexpr std::uint32_t kColorFields = Hue::GroupActionField::colormode |
                                       Hue::GroupActionField::xy | Hue::GroupActionField::ct |
                                       Hue::GroupActionField::hue | Hue::GroupActionField::sat;

void create_group(const GroupOptions& options, const Hue::Groups& groups, const Output& output) {
    groups.create(*options.name, options.lights).get();
    print_result(output, "Group created.", "created", std::nullopt);
}

// Renames, re-members and changes the action of the group `id` and returns
// the list that holds it as the bridge then reports it.
Hue::Groups modify_group(const GroupOptions& options, const Hue::Groups& groups) {
    Hue::Group group = find_item(groups, options.id, "group");
    if (!group.whole()) group.refresh().get();  // old firmware: the listing named it only
    if (options.name) group.set_name(*options.name);
    if (!options.lights.empty()) group.set_lights(options.lights);
    if (options.name || !options.lights.empty()) group.save().get();
    Hue::GroupAction action = group.action();
    apply_state_options(options, action);
    // A group's action is the last command sent to it, not the state of its
    // lights: every state option given is sent, whatever the action says.
    group.set_action(action, fields_given(options));
    group.save_action(options.trans.value_or(0)).get();
    group.refresh().get();
    Hue::Groups changed;
    changed.add(group);
    return changed;
}

std::string joined(const std::vector<std::string>& ids) {
    if (ids.empty()) return "none";
    std::string text;
    for (const auto& id : ids) text += (text.empty() ? "" : ", ") + id;
    return text;
}

}  // namespace

void check_group_options(const GroupOptions& options) {
    if (options.id == "new" && (!options.name || options.lights.empty())) {
        throw UsageError(
            "When creating a new group, you must specify name and one or more lights.");
    }
}

void run_groups_command(const ListingOptions&, const Settings& settings, const Target& target,
                        const Output& output) {
    const Hue::Groups groups = target.bridge.get_groups(settings.client, target.identity).get();
    read_items_given_by_name(groups);
    print_groups(output, groups);
}

void run_group_command(const GroupOptions& options, const Settings& settings, const Target& target,
                       const Output& output) {
    const Hue::Groups groups = target.bridge.get_groups(settings.client, target.identity).get();
    if (options.id == "new") {
        create_group(options, groups, output);
    } else if (options.remove) {
        // The bridge decides whether the group exists; a refusal fails here.
        groups.remove(options.id).get();
        print_result(output, "Group Deleted.", "deleted", options.id);
    } else {
        print_groups(output, modify_group(options, groups));
    }
}

void print_groups(const Output& output, const Hue::Groups& groups) {
    print_listing(output, "groups", groups, groups_json, print_groups);
}

web::json::value groups_json(const Hue::Groups& groups) {
    using web::json::value;
    value list = value::array();
    std::size_t index = 0;
    for (const Hue::Group& group : groups) {
        const Hue::GroupAction action = group.action();
        const auto has = [&action](std::uint32_t field) { return (action.flags & field) != 0; };
        value object = value::object();
        object["id"] = value::string(group.id());
        object["name"] = value::string(group.name());
        value members = value::array();
        for (const std::string& light : group.lights()) {
            members[members.size()] = value::string(light);
        }
        object["lights"] = members;
        value fields = value::object();
        fields["on"] = has(Hue::GroupActionField::on) ? value::boolean(action.on) : value::null();
        fields["alert"] =
            has(Hue::GroupActionField::alert) ? value::string(action.alert) : value::null();
        fields["effect"] =
            has(Hue::GroupActionField::effect) ? value::string(action.effect) : value::null();
        if (has(kColorFields)) {
            add_color_json(fields, action.colormode, action.x, action.y, action.ct, action.hue,
                           action.sat);
        } else {
            for (const char* key : {"colormode", "hue", "sat", "x", "y", "ct"}) {
                fields[key] = value::null();
            }
        }
        fields["bri"] = has(Hue::GroupActionField::bri)
                            ? value::number(static_cast<unsigned>(action.bri))
                            : value::null();
        object["laststate"] = fields;
        list[index++] = object;
    }
    return list;
}

void print_groups(const Hue::Groups& groups) {
    std::cout << "Groups:" << std::endl;
    for (const Hue::Group& group : groups) {
        const Hue::GroupAction action = group.action();
        std::cout << std::endl;
        std::cout << "  Id:                      " << printable(group.id()) << std::endl;
        std::cout << "  Name:                    " << printable(group.name()) << std::endl;
        std::cout << "  Lights:                  " << printable(joined(group.lights()))
                  << std::endl;
        std::cout << "  LastState:        " << std::endl;
        if (action.flags & Hue::GroupActionField::on) {
            std::cout << "    On:                    " << action.on << std::endl;
        }
        if (action.flags & Hue::GroupActionField::alert) {
            std::cout << "    Alert:                 " << printable(action.alert) << std::endl;
        }
        if (action.flags & Hue::GroupActionField::effect) {
            std::cout << "    Effect:                " << printable(action.effect) << std::endl;
        }
        if (action.flags & kColorFields) {
            print_color_mode(action.colormode, action.x, action.y, action.ct, action.hue,
                             action.sat);
        }
        if (action.flags & Hue::GroupActionField::bri) {
            std::cout << "    Brightness:            " << static_cast<unsigned>(action.bri)
                      << std::endl;
        }
    }
}

}  // namespace commands
