#include "cli/options.hpp"

#include <iostream>
#include <locale>
#include <stdexcept>
#include <string>
#include <vector>

#include <boost/algorithm/string/case_conv.hpp>
#include <boost/program_options/value_semantic.hpp>

#include "commands/bridges.hpp"
#include "commands/config.hpp"
#include "commands/groups.hpp"
#include "commands/lights.hpp"
#include "commands/schedules.hpp"
#include "commands/state.hpp"

namespace cli {
namespace {

const unsigned kLineLength = po::options_description::m_default_line_length;

const char kGeneralCaption[] =
    "Manipulates Philips hue bridge\r\n\r\nglowrig command option[=[value]] "
    "[option[=[value]] ...]\r\n\r\nglowrig command -help\r\n\r\nGeneral";

const char kUsage[] =
    "Usage:\r\n\r\nThis tool must be whitelisted with the Hue bridge before most functionality "
    "is available. If the bridge's IP Address is unknown glowrig can scan the local network "
    "for bridges using:\r\n\r\nglowrig bridges\r\n\r\nThis will query the Portal service and "
    "perform UPnP enumeration for Bridges. Specifying the Bridge IP is required for all other "
    "commands if more than one bridge is on the network. It is recommended even if there is "
    "only one bridge to avoid additional, unnecessary, slow enumerations. Once the IP is known "
    "glowrig can be whitelisted for use with the bridge using the command:\r\n\r\nglowrig "
    "config --auth --bridge=<IP Address>\r\n\r\nReport problems and find help in the "
    "README.md that comes with glowrig.";

const char kBanner[] = "glowrig - drives lighting bridges from the command line";

const char kFindDescription[] =
    "Instructs bridge to enter \"find new lights mode\" rather than list existing ones.  "
    "Wait 90 seconds and run command again without this option to see if anything new was "
    "found.  Note if searching for a tap switch:  Run glowrig config to confirm you have at "
    "least API version 1.3 and that there are no firmware updates available.After confirming "
    "your bridge is updated, note which Zigbee channel your bridge is on.  While in find "
    "mode, you must hold down the button that corresponds to the bridge's channel for ten "
    "seconds then release.  The channels should map to buttons as follows: 11:1, 15:2, "
    "20:3, 25:4.";

po::typed_value<std::string>* text() { return po::value<std::string>(); }

// The option pieces the commands are made of, each adding its options in
// the order the help lists them.

void add_bridge(po::options_description& desc) {
    desc.add_options()("bridge", text(),
                       "Specify IP Address of the bridge you want to talk to.  Required if "
                       "you have more than one bridge.");
}

void add_id(po::options_description& desc, const std::string& word, bool can_create) {
    const std::string help =
        "The " + word + " id." + (can_create ? "  Use \"new\" if you want create one." : "");
    desc.add_options()("id", text(), help.c_str());
}

void add_light_state(po::options_description& desc) {
    desc.add_options()                                                                          //
        ("on", "turn the lights on")                                                            //
        ("off", "turn the lights off")                                                          //
        ("ct", po::value<int>(), "Mired color temperature, valid values 153-500")               //
        ("hue", po::value<int>(), "Hue, valid values 0-65535")                                  //
        ("sat", po::value<int>(), "Saturation, valid values 0-255")                             //
        ("bri", po::value<int>(), "Brightness, valid values 0-255")                             //
        ("alert", text(), "Alert setting for light.  Valid values are: none, select, lselect")  //
        ("effect", text(), "Light effect.Valid values are: non, colorloop")                     //
        ("trans", po::value<int>(),
         "Transition time for lighting change in hundreds of milliseconds. A value of 10 "
         "equals one second.");
}

void add_name(po::options_description& desc, const std::string& word) {
    const std::string help = "New name of " + word + " (for renaming or creation)";
    desc.add_options()("name", text(), help.c_str());
}

void add_json(po::options_description& desc) {
    desc.add_options()("json", "Print the result as one JSON document.");
}

void add_delete(po::options_description& desc, const std::string& word) {
    const std::string help = "Delete " + word;
    desc.add_options()("delete", help.c_str());
}

// The options of each command.

void no_options(po::options_description&, const std::string&) {}

void json_only(po::options_description& desc, const std::string&) { add_json(desc); }

void bridge_only(po::options_description& desc, const std::string&) {
    add_bridge(desc);
    add_json(desc);
}

void config_options(po::options_description& desc, const std::string&) {
    add_bridge(desc);
    desc.add_options()  //
        ("auth",
         "Authorize this app (must be executed within 30 seconds of pressing button on the "
         "Bridge).")                                                //
        ("deauth", text(), "Remove authorization for a user/app.")  //
        ("updatefw", "Instruct the Bridge to download a firmware update, if available.");
    add_json(desc);
}

void lights_options(po::options_description& desc, const std::string&) {
    add_bridge(desc);
    desc.add_options()("find", kFindDescription);
    add_json(desc);
}

void light_options(po::options_description& desc, const std::string& word) {
    add_bridge(desc);
    add_id(desc, word, false);
    add_light_state(desc);
    add_name(desc, word);
    add_json(desc);
}

void group_options(po::options_description& desc, const std::string& word) {
    add_bridge(desc);
    add_id(desc, word, true);
    add_light_state(desc);
    add_name(desc, word);
    desc.add_options()(
        "l", po::value<std::vector<std::string>>(),
        "Light id. When creating or modifying a group, used to specify lights for group. "
        " Can be used multiple times, e.g. -l=1 -l=3 -l=5 when creating a group with "
        "lights 1, 3, and 5.");
    add_delete(desc, word);
    add_json(desc);
}

void schedule_options(po::options_description& desc, const std::string& word) {
    add_bridge(desc);
    add_id(desc, word, true);
    add_name(desc, word);
    desc.add_options()("desc", text(), "New description for schedule");
    add_delete(desc, word);
    add_json(desc);
}

void run_help_command(const po::variables_map&, const commands::Settings&, const AppIdentity&) {
    print_help(*make_general_options(), nullptr);
}

void run_version_command(const po::variables_map&, const commands::Settings&, const AppIdentity&) {
    print_version();
}

}  // namespace

const std::vector<Command>& command_table() {
    static const std::vector<Command> kCommands = {
        {"bridges", "Enumerates Hue bridges on the network.", json_only,
         commands::run_bridges_command},
        {"config", "Prints or modifies a bridge's Configuration.", config_options,
         commands::run_config_command},
        {"lights", "Enumerates the Lights associated with the bridge.", lights_options,
         commands::run_lights_command},
        {"light", "Allows manipulating a single Light.", light_options,
         commands::run_light_command},
        {"groups", "Enumerates Groups of Lights configured with the bridge.", bridge_only,
         commands::run_groups_command},
        {"group", "Allows manipulating a Group of Lights.", group_options,
         commands::run_group_command},
        {"schedules", "Enumerates Schedules set on the bridge.", bridge_only,
         commands::run_schedules_command},
        {"schedule", "Allows deleting a Schedule.", schedule_options,
         commands::run_schedule_command},
        {"state", "Prints lights, groups, schedules, scenes, sensors, rules.", bridge_only,
         commands::run_state_command},
        {"help", "Prints this help, or the help of the command after it.", no_options,
         run_help_command},
        {"version", "Prints the version of glowrig.", no_options, run_version_command},
    };
    return kCommands;
}

std::unique_ptr<po::options_description> make_general_options() {
    auto general =
        std::make_unique<po::options_description>(kGeneralCaption, kLineLength, kLineLength / 2);
    general->add_options()                          //
        ("command", text(), "Command to execute.")  //
        ("help", "Adding this arg to a command prints command specific help.");
    return general;
}

std::unique_ptr<po::options_description> make_command_options(const Command* command) {
    if (command == nullptr) {
        auto desc = std::make_unique<po::options_description>("Commands (no dashes, please)",
                                                              kLineLength, kLineLength / 2);
        for (const Command& each : command_table()) {
            desc->add_options()(each.word, each.description);
        }
        return desc;
    }
    const std::string word = command->word;
    auto desc = std::make_unique<po::options_description>("Options for " + word, kLineLength,
                                                          kLineLength / 2);
    command->add_options(*desc, word);
    return desc;
}

void print_help(const po::options_description& general, const Command* command) {
    const auto options = make_command_options(command);
    std::cout << general;
    std::cout << *options << std::endl;
    if (options->options().empty()) {
        std::cout << "  There are no options for this command" << std::endl;
    }
    if (command == nullptr) {
        std::cout << std::endl << kUsage << std::endl << std::endl;
    }
    std::cout << kBanner << std::endl;
}

void print_version() { std::cout << "glowrig " << GLOWRIG_VERSION << std::endl; }

const Command* find_command(const std::string& word) {
    const std::string lower = boost::algorithm::to_lower_copy(word, std::locale::classic());
    for (const Command& command : command_table()) {
        if (lower == command.word) return &command;
    }
    return nullptr;
}

}  // namespace cli
