#include "cli/help.hpp"

#include <string>
#include <vector>

#include <boost/program_options/value_semantic.hpp>

namespace Cli {
namespace {

namespace po = boost::program_options;

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

// The options library's reading of `declared`.
void add_option(po::options_description& desc, const OptionDeclaration& declared) {
    const char* name = declared.name.c_str();
    const char* help = declared.help.c_str();
    switch (declared.kind) {
        case ValueKind::none:
            desc.add_options()(name, help);
            break;
        case ValueKind::text:
        case ValueKind::number:  // read by glowrig itself, in the option's forms
            desc.add_options()(name, po::value<std::string>(), help);
            break;
        case ValueKind::texts:
            desc.add_options()(name, po::value<std::vector<std::string>>(), help);
            break;
    }
}

}  // namespace

std::unique_ptr<po::options_description> make_general_options() {
    auto general =
        std::make_unique<po::options_description>(kGeneralCaption, kLineLength, kLineLength / 2);
    general->add_options()                                                         //
        ("command", po::value<std::vector<std::string>>(), "Command to execute.")  //
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
    auto desc = std::make_unique<po::options_description>(
        std::string("Options for ") + command->word, kLineLength, kLineLength / 2);
    for (const OptionDeclaration& declared : command->options) add_option(*desc, declared);
    return desc;
}

void print_help(std::ostream& out, const Command* command) {
    const auto options = make_command_options(command);
    out << *make_general_options();
    out << *options << std::endl;
    if (options->options().empty()) {
        out << "  There are no options for this command" << std::endl;
    }
    if (command == nullptr) {
        out << std::endl << kUsage << std::endl << std::endl;
    }
    out << kBanner << std::endl;
}

void print_version(const Commands::Output& output) {
    if (output.json()) {
        output.out() << "{\"version\":\"" << GLOWRIG_VERSION << "\"}" << std::endl;
    } else {
        output.out() << "glowrig " << GLOWRIG_VERSION << std::endl;
    }
}

}  // namespace Cli
