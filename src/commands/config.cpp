#include "commands/config.hpp"

#include <iostream>
#include <string>

#include "commands/console.hpp"
#include "discovery/selection.hpp"
#include "hue/bridge.hpp"
#include "hue/configuration.hpp"
#include "hue/text.hpp"

namespace commands {
namespace {

namespace po = boost::program_options;

// Adds this program to the bridge's whitelist unless it is there already.
void authorise(Hue::Configuration& configuration, const AppIdentity& identity) {
    if (configuration.is_allowed(identity)) {
        std::wcout << L"App already allowed" << std::endl;
        return;
    }
    try {
        configuration.create_user(identity).get();
        configuration.refresh().get();
    } catch (...) {
        std::wcout << L"User creation failed" << std::endl;
        throw;
    }
    std::wcout << L"User created" << std::endl;
}

// Removes `user_id` from the bridge's whitelist when it is on it.
void deauthorise(Hue::Configuration& configuration, const std::wstring& user_id) {
    const AppIdentity user{std::wstring(), user_id};
    if (!configuration.is_allowed(user)) {
        std::wcout << L"User not found" << std::endl;
        return;
    }
    try {
        configuration.delete_user(user).get();
        configuration.refresh().get();
    } catch (...) {
        std::wcout << L"User deletion failed" << std::endl;
        throw;
    }
    std::wcout << L"User deleted" << std::endl;
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

void run_config_command(const po::variables_map& options, const web::web_proxy& proxy,
                        const AppIdentity& identity) {
    const Hue::Bridge bridge = discovery::select_bridge(options, proxy).get();
    Hue::Configuration configuration = bridge.get_configuration(proxy, identity).get();
    if (options.count("auth")) {
        authorise(configuration, identity);
    } else if (options.count("deauth")) {
        deauthorise(configuration, options["deauth"].as<std::wstring>());
    } else if (options.count("updatefw")) {
        update_firmware(configuration);
    }
    print_configuration(configuration);
}

void print_configuration(const Hue::Configuration& configuration) {
    const Hue::ConfigurationSettings settings = configuration.settings();
    const Hue::ConfigurationStatus status = configuration.status();
    std::wostream& out = std::wcout;

    out << L"Configuration:" << std::endl;
    out << std::endl;
    out << L"  Name:                    " << settings.name << std::endl;
    out << L"  LinkButton:              " << settings.linkbutton << std::endl;
    out << std::endl;
    out << L"  Proxy:                   " << Hue::to_wide(settings.proxy.to_string()) << std::endl;
    out << L"  Ip:                      " << settings.ipaddress << std::endl;
    out << L"  Mac:                     " << status.mac << std::endl;
    out << L"  NetMask:                 " << settings.netmask << std::endl;
    out << L"  Gateway:                 " << settings.gateway << std::endl;
    out << L"  Dhcp:                    " << settings.dhcp << std::endl;
    out << L"  PortalServices:          " << settings.portalservices << std::endl;
    out << std::endl;
    out << L"  Utc:                     " << utc_text(status.utc) << std::endl;
    out << std::endl;
    out << L"  SWVersion:               " << status.swversion << std::endl;
    out << L"  Firmware:" << std::endl;
    out << L"    UpdateState:           " << settings.swupdate.updatestate << std::endl;
    out << L"    Notify:                " << settings.swupdate.notify << std::endl;
    out << L"    Url:                   " << std::endl;
    out << L"  " << settings.swupdate.url << std::endl;
    out << L"    Description:" << std::endl;
    out << settings.swupdate.text << std::endl;
    out << std::endl;
    out << L"  Whitelist:        " << std::endl;
    for (const auto& [user_id, entry] : status.whitelist) {
        out << std::endl;
        out << L"    " << user_id << std::endl;
        out << L"      Name:                " << entry.name << std::endl;
        out << L"      CreationDate:        " << utc_text(entry.create_date) << std::endl;
        out << L"      LastUseDate:         " << utc_text(entry.last_use_date) << std::endl;
    }
}

}  // namespace commands
