#include "cli/options.hpp"

#include <iostream>
#include <locale>
#include <stdexcept>
#include <string>
#include <vector>

#include <boost/algorithm/string/case_conv.hpp>
#include <boost/program_options/value_semantic.hpp>

namespace cli {
namespace {

struct CommandInfo {
    const char* word;
    const char* description;
};

constexpr CommandInfo kCommands[kCommandCount] = {
    {"bridges", "Enumerates Hue bridges on the network."},
    {"config", "Prints or modifies a bridge's Configuration."},
    {"lights", "Enumerates the Lights associated with the bridge."},
    {"light", "Allows manipulating a single Light."},
    {"groups", "Enumerates Groups of Lights configured with the bridge."},
    {"group", "Allows manipulating a Group of Lights."},
    {"schedules", "Enumerates Schedules set on the bridge."},
    {"schedule", "Allows deleting a Schedule."},
    {"state", "Prints lights, groups, schedules, scenes, sensors, rules."},
};

constexpr std::size_t kConfig = 1, kLights = 2, kLight = 3, kGroup = 5, kSchedule = 7;
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

po::typed_value<std::string, char>* wide_text() { return po::value<std::string>(); }

void add_light_state_options(po::options_description& desc) {
    desc.add_options()                                                             //
        ("on", "turn the lights on")                                               //
        ("off", "turn the lights off")                                             //
        ("ct", po::value<int>(), "Mired color temperature, valid values 153-500")  //
        ("hue", po::value<int>(), "Hue, valid values 0-65535")                     //
        ("sat", po::value<int>(), "Saturation, valid values 0-255")                //
        ("bri", po::value<int>(), "Brightness, valid values 0-255")                //
        ("alert", wide_text(),
         "Alert setting for light.  Valid values are: none, select, lselect")     //
        ("effect", wide_text(), "Light effect.Valid values are: non, colorloop")  //
        ("trans", po::value<int>(),
         "Transition time for lighting change in hundreds of milliseconds. A value of 10 "
         "equals one second.");
}

}  // namespace

const char* command_word(std::size_t index) { return kCommands[index].word; }

std::unique_ptr<po::options_description> make_general_options() {
    auto general =
        std::make_unique<po::options_description>(kGeneralCaption, kLineLength, kLineLength / 2);
    general->add_options()                               //
        ("command", wide_text(), "Command to execute.")  //
        ("help", "Adding this arg to a command prints command specific help.");
    return general;
}

std::unique_ptr<po::options_description> make_command_options(std::size_t index) {
    if (index >= kCommandCount) {
        auto desc = std::make_unique<po::options_description>("Commands (no dashes, please)",
                                                              kLineLength, kLineLength / 2);
        for (const CommandInfo& command : kCommands) {
            desc->add_options()(command.word, command.description);
        }
        return desc;
    }
    const std::string word = kCommands[index].word;
    auto desc = std::make_unique<po::options_description>("Options for " + word, kLineLength,
                                                          kLineLength / 2);
    if (index == 0) return desc;
    desc->add_options()("bridge", wide_text(),
                        "Specify IP Address of the bridge you want to talk to.  Required if "
                        "you have more than one bridge.");
    if (index == kConfig) {
        desc->add_options()  //
            ("auth",
             "Authorize this app (must be executed within 30 seconds of pressing button on the "
             "Bridge).")                                                     //
            ("deauth", wide_text(), "Remove authorization for a user/app.")  //
            ("updatefw", "Instruct the Bridge to download a firmware update, if available.");
    } else if (index == kLight || index == kGroup || index == kSchedule) {
        const std::string id_text =
            index == kLight ? "The " + word + " id."
                            : "The " + word + " id.  Use \"new\" if you want create one.";
        desc->add_options()("id", wide_text(), id_text.c_str());
        if (index != kSchedule) add_light_state_options(*desc);
        const std::string name_text = "New name of " + word + " (for renaming or creation)";
        desc->add_options()("name", wide_text(), name_text.c_str());
        if (index == kGroup) {
            desc->add_options()(
                "l", po::value<std::vector<std::string>>(),
                "Light id. When creating or modifying a group, used to specify lights for group. "
                " Can be used multiple times, e.g. -l=1 -l=3 -l=5 when creating a group with "
                "lights 1, 3, and 5.");
        }
        if (index == kSchedule) {
            desc->add_options()("desc", wide_text(), "New description for schedule");
        }
        if (index != kLight) {
            const std::string delete_text = "Delete " + word;
            desc->add_options()("delete", delete_text.c_str());
        }
    } else if (index == kLights) {
        desc->add_options()("find", kFindDescription);
    }
    return desc;
}

void print_help(const po::options_description& general, std::size_t index) {
    const auto command = make_command_options(index);
    std::cout << general;
    std::cout << *command << std::endl;
    if (command->options().empty()) {
        std::cout << "  There are no options for this command" << std::endl;
    }
    if (index >= kCommandCount) {
        std::cout << std::endl << kUsage << std::endl << std::endl;
    }
    std::cout << kBanner << std::endl;
}

std::size_t lookup_command(const po::variables_map& vm, const po::options_description& general) {
    const std::string word =
        boost::algorithm::to_lower_copy(vm["command"].as<std::string>(), std::locale::classic());
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        const std::string candidate = kCommands[i].word;
        if (word == std::string(candidate.begin(), candidate.end())) return i;
    }
    print_help(general, kGeneralHelp);
    throw std::runtime_error("Error: Command not recognized");
}

}  // namespace cli
