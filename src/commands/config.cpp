#include "commands/config.hpp"

#include <exception>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "commands/bridge_selection.hpp"
#include "commands/credentials.hpp"
#include "commands/json_output.hpp"
#include "commands/printable.hpp"
#include "hue/bridge.hpp"
#include "hue/configuration.hpp"
#include "hue/text.hpp"
#include "util/utc_text.hpp"

namespace commands {
namespace {

namespace po = boost::program_options;

// Sends what std::cout is given to `target` while it lives; null leaves
// std::cout alone.
class CapturedOutput {
public:
    explicit CapturedOutput(std::ostream* target)
        : m_saved(target ? std::cout.rdbuf(target->rdbuf()) : nullptr) {}
    ~CapturedOutput() {
        if (m_saved) std::cout.rdbuf(m_saved);
    }
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

private:
    std::streambuf* m_saved;
};

// Adds this program to the bridge's whitelist unless `target`'s identity is
// on it already, and reads the configuration again with the identity granted.
// The name asked for is always the computed one; the name the bridge grants
// is kept in the credentials file, replacing a kept name that the bridge no
// longer knew, with the bridge's certificate as its pin over TLS.
void authorise(Hue::Configuration& configuration, const Target& target, const AppIdentity& computed,
               const Settings& settings, const std::shared_ptr<Http::Certificate>& shown) {
    const auto certificate_of = [&shown](const Target&) {
        return shown ? shown->sha256 : std::string();
    };
    const CredentialsFile credentials(settings.credentials_file);
    const bool tls = target.bridge.scheme() == Hue::Scheme::Https;
    if (configuration.is_allowed(target.identity)) {
        // Over TLS, the certificate shown now becomes the pin.
        if (tls) credentials.store(target.bridge, target.identity.user_id, certificate_of(target));
        std::cout << "App already allowed" << std::endl;
        return;
    }
    AppIdentity granted = computed;
    try {
        granted.user_id = configuration.create_user(computed).get();
    } catch (...) {
        std::cout << "User creation failed" << std::endl;
        throw;
    }
    try {
        // Every bridge that grants a name gets an entry; over TLS it holds
        // the pin, the certificate the bridge showed while its button was pressed.
        credentials.store(target.bridge, granted.user_id,
                          tls ? certificate_of(target) : std::string());
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string(e.what()) + " The bridge granted the user name " +
                                 granted.user_id + ".");
    }
    try {
        configuration = target.bridge.get_configuration(settings.client, granted).get();
    } catch (...) {
        std::cout << "User creation failed" << std::endl;
        throw;
    }
    std::cout << "User created" << std::endl;
}

// Removes `user_id` from the bridge's whitelist when it is on it, and from the
// credentials file.
void deauthorise(Hue::Configuration& configuration, const std::string& user_id,
                 const Target& target, const Settings& settings) {
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
    CredentialsFile(settings.credentials_file).remove(target.bridge, user_id);
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
                        const AppIdentity& computed) {
    std::shared_ptr<Http::Certificate> shown;
    const Target target = select_target(options, settings, computed, &shown);
    Hue::Configuration configuration =
        target.bridge.get_configuration(settings.client, target.identity).get();
    // The JSON printout carries the line of "auth" or "deauth" as "result".
    std::ostringstream result;
    {
        const CapturedOutput captured(wants_json(options) ? &result : nullptr);
        if (options.count("auth")) {
            authorise(configuration, target, computed, settings, shown);
        } else if (options.count("deauth")) {
            deauthorise(configuration, options["deauth"].as<std::string>(), target, settings);
        } else if (options.count("updatefw")) {
            update_firmware(configuration);
        }
    }
    if (wants_json(options)) {
        std::string line = result.str();
        if (!line.empty() && line.back() == '\n') line.pop_back();
        web::json::value document = web::json::value::object();
        document["result"] = line.empty() ? web::json::value::null() : web::json::value(line);
        document["configuration"] = configuration_json(configuration);
        print_json(document);
    } else {
        print_configuration(configuration);
    }
}

web::json::value configuration_json(const Hue::Configuration& configuration) {
    using web::json::value;
    const Hue::ConfigurationSettings settings = configuration.settings();
    const Hue::ConfigurationStatus status = configuration.status();
    value object = value::object();
    object["name"] = value::string(settings.name);
    object["linkbutton"] = value::boolean(settings.linkbutton);
    object["proxy"] = value::string(settings.proxy.to_string());
    object["ipaddress"] = value::string(settings.ipaddress);
    object["mac"] = value::string(status.mac);
    object["netmask"] = value::string(settings.netmask);
    object["gateway"] = value::string(settings.gateway);
    object["dhcp"] = value::boolean(settings.dhcp);
    object["portalservices"] = value::boolean(settings.portalservices);
    object["utc"] = utc_json(status.utc);
    object["swversion"] = value::string(status.swversion);
    value swupdate = value::object();
    swupdate["updatestate"] = value::number(settings.swupdate.updatestate);
    swupdate["notify"] = value::boolean(settings.swupdate.notify);
    swupdate["url"] = value::string(settings.swupdate.url);
    swupdate["text"] = value::string(settings.swupdate.text);
    object["swupdate"] = swupdate;
    value whitelist = value::array();
    for (const auto& [user_id, entry] : status.whitelist) {
        value user = value::object();
        user["id"] = value::string(user_id);
        user["name"] = value::string(entry.name);
        user["create_date"] = utc_json(entry.create_date);
        user["last_use_date"] = utc_json(entry.last_use_date);
        whitelist[whitelist.size()] = user;
    }
    object["whitelist"] = whitelist;
    return object;
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
    out << "  Utc:                     " << Util::utc_text(status.utc) << std::endl;
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
        out << "      CreationDate:        " << Util::utc_text(entry.create_date) << std::endl;
        out << "      LastUseDate:         " << Util::utc_text(entry.last_use_date) << std::endl;
    }
}

}  // namespace commands
