#include "commands/config.hpp"

#include <iostream>
#include <string>

#include "commands/console.hpp"
#include "commands/printable.hpp"
#include "hue/bridge.hpp"
#include "hue/configuration.hpp"
#include "hue/text.hpp"

namespace commands {
namespace {

namespace po = boost::program_options;

// Adds this program to the bridge's whitelist unless it is there already.
void authorise(Hue::Configuration& configuration, const AppIdentity& identity) {
    if (configuration.is_allowed(identity)) {
        std::cout << "App already allowed" << std::endl;
        return;
    }
    try {
        configuration.create_user(identity).get();
        configuration.refresh().get();
    } catch (...) {
        std::cout << "User creation failed" << std::endl;
        throw;
    }
    std::cout << "User created" << std::endl;
}

// Removes `user_id` from the bridge's whitelist when it is on it.
void deauthorise(Hue::Configuration& configuration, const std::string& user_id) {
    const AppIdentity user{std::string(), user_id};
    if (!configuration.is_allowed(user)) {
        std::cout << "User not found" << std::endl;
        return;
    }
    try {
        configuration.delete_user(user).get();
        configuration.refresh().get();
    } catch (...) {
        std::cout << "User deletion failed" << std::endl;
        throw;
    }
    std::cout << "User deleted" << std::endl;
}

// Tells the bridge to install a downloaded update (state 2 becomes 3).
void update_firmware(Hue::Configuration& configuration) {
    constexpr int32_t kUpdateReady = 2;
    constexpr int32_t kInstallUpdate = 3;
    if (configuration.settings().swupdate.updatestate == kUpdateReady) {
        configuration.pending_settings().swupdate.updatestate = kInstallUpdate;
    }
    configuration.save().get();
    configuration.refresh().get();
}

}  // namespace

void run_config_command(const po::variables_map& options, const Settings& settings,
                        const AppIdentity& identity) {
    const Hue::Bridge bridge = selected_bridge(options, settings);
    Hue::Configuration configuration = bridge.get_configuration(settings.client, identity).get();
    if (options.count("auth")) {
        authorise(configuration, identity);
    } else if (options.count("deauth")) {
        deauthorise(configuration, options["deauth"].as<std::string>());
    } else if (options.count("updatefw")) {
        update_firmware(configuration);
    }
    print_configuration(configuration);
}

void print_configuration(const Hue::Configuration& configuration) {
    const Hue::ConfigurationSettings settings = configuration.settings();
    const Hue::ConfigurationStatus status = configuration.status();
    std::ostream& out = std::cout;

    out << "Configuration:" << std::endl;
    out << std::endl;
    out << "  Name:                    " << printable(settings.name) << std::endl;
    out << "  LinkButton:              " << settings.linkbutton << std::endl;
    out << std::endl;
    out << "  Proxy:                   " << printable(settings.proxy.to_string()) << std::endl;
    out << "  Ip:                      " << printable(settings.ipaddress) << std::endl;
    out << "  Mac:                     " << printable(status.mac) << std::endl;
    out << "  NetMask:                 " << printable(settings.netmask) << std::endl;
    out << "  Gateway:                 " << printable(settings.gateway) << std::endl;
    out << "  Dhcp:                    " << settings.dhcp << std::endl;
    out << "  PortalServices:          " << settings.portalservices << std::endl;
    out << std::endl;
    out << "  Utc:                     " << utc_text(status.utc) << std::endl;
    out << std::endl;
    out << "  SWVersion:               " << printable(status.swversion) << std::endl;
    out << "  Firmware:" << std::endl;
    out << "    UpdateState:           " << settings.swupdate.updatestate << std::endl;
    out << "    Notify:                " << settings.swupdate.notify << std::endl;
    out << "    Url:                   " << std::endl;
    out << "  " << printable(settings.swupdate.url) << std::endl;
    out << "    Description:" << std::endl;
    out << printable(settings.swupdate.text) << std::endl;
    out << std::endl;
    out << "  Whitelist:        " << std::endl;
    for (const auto& [user_id, entry] : status.whitelist) {
        out << std::endl;
        out << "    " << printable(user_id) << std::endl;
        out << "      Name:                " << printable(entry.name) << std::endl;
        out << "      CreationDate:        " << utc_text(entry.create_date) << std::endl;
        out << "      LastUseDate:         " << utc_text(entry.last_use_date) << std::endl;
    }
}

}  // namespace commands
