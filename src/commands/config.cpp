#include "commands/config.hpp"

#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>

#include "access/bridge_selection.hpp"
#include "access/credentials_file.hpp"
#include "commands/output.hpp"
#include "commands/printout_builder.hpp"
#include "commands/render.hpp"
#include "hue/bridge.hpp"
#include "hue/configuration.hpp"
#include "hue/text.hpp"

namespace Commands {
namespace {

// Adds this program to the bridge's whitelist unless `target`'s identity is
// on it already, and reads the configuration again with the identity granted.
// The name asked for is always the computed one. The name the bridge allows,
// granted now or before, is kept in the credentials file, with the bridge's
// id when it is known and over TLS its certificate as its pin, replacing a
// kept name that the bridge no longer knew. Returns the line that tells what
// it did; a failure to create the user is noted through `output` before it
// propagates.
std::string authorise(Hue::Configuration& configuration, const Access::Target& target,
                      const AppIdentity& computed, const Settings& settings,
                      const std::shared_ptr<Http::Certificate>& shown, const Output& output) {
    const auto certificate_of = [&shown](const Access::Target&) {
        return shown ? shown->sha256 : std::string();
    };
    const Access::CredentialsFile credentials(settings.credentials_file);
    const bool tls = target.bridge.scheme() == Hue::Scheme::Https;
    if (configuration.is_allowed(target.identity)) {
        // The entry takes the bridge's id, if it had none, and over TLS the
        // certificate shown now as its pin.
        credentials.store(target.bridge, target.identity.user_id, certificate_of(target));
        return "App already allowed";
    }
    AppIdentity granted = computed;
    try {
        granted.user_id = configuration.create_user(computed);
    } catch (...) {
        output.note("User creation failed");
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
        configuration = target.bridge.get_configuration(settings.client, granted);
    } catch (...) {
        output.note("User creation failed");
        throw;
    }
    return "User created";
}

// Removes `user_id` from the bridge's whitelist and from the credentials
// file, and returns the line that tells so. Throws std::runtime_error "User
// not found" when the whitelist does not hold `user_id`; a failure to delete
// it is told through `output` before it propagates.
std::string deauthorise(Hue::Configuration& configuration, const std::string& user_id,
                        const Access::Target& target, const Settings& settings,
                        const Output& output) {
    const AppIdentity user{std::string(), user_id};
    if (!configuration.is_allowed(user)) throw std::runtime_error("User not found");
    try {
        configuration.delete_user(user);
        configuration.refresh();
    } catch (...) {
        output.note("User deletion failed");
        throw;
    }
    Access::CredentialsFile(settings.credentials_file).remove(target.bridge, user_id);
    return "User deleted";
}

// Tells the bridge to install a downloaded update (state 2 becomes 3).
// Returns no line: the configuration printout shows the update's state.
std::optional<std::string> update_firmware(Hue::Configuration& configuration) {
    constexpr int32_t kUpdateReady = 2;
    constexpr int32_t kInstallUpdate = 3;
    if (configuration.settings().swupdate.updatestate == kUpdateReady) {
        configuration.pending_settings().swupdate.updatestate = kInstallUpdate;
    }
    configuration.save();
    configuration.refresh();
    return std::nullopt;
}

}  // namespace

void run_config_command(const ConfigOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output) {
    Hue::Configuration configuration =
        target.bridge.get_configuration(settings.client, target.identity);
    std::optional<std::string> result;
    if (options.auth) {
        result = authorise(configuration, target, target.computed, settings, target.shown, output);
    } else if (options.deauth) {
        result = deauthorise(configuration, *options.deauth, target, settings, output);
    } else if (options.updatefw) {
        result = update_firmware(configuration);
    }
    render(output, ConfigPrintout{result, configuration_printout(configuration)});
}

}  // namespace Commands
