#include "commands/config.hpp"

#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>

#include "access/bridge_selection.hpp"
#include "access/credentials_file.hpp"
#include "access/interfaces.hpp"
#include "commands/bridge_error_advice.hpp"
#include "commands/output.hpp"
#include "commands/printout_builder.hpp"
#include "commands/render.hpp"
#include "hue/address.hpp"
#include "hue/bridge.hpp"
#include "hue/configuration.hpp"
#include "util/printable.hpp"

namespace Commands {
namespace {

// Keeps the user name a bridge allows in the credentials file: the entry of
// `bridge` gets `user_id` and `pin`. An entry with a pin is never given up
// for plain HTTP: a bridge reached in clear whose id has a pinned entry
// leaves that entry as it was, and a line on the error stream says so.
void keep_user_name(const Access::CredentialsFile& credentials, const Hue::Bridge& bridge,
                    const std::string& user_id, const std::string& pin, const Output& output) {
    if (bridge.endpoint().scheme != Hue::Scheme::Https && !bridge.id().empty()) {
        const auto entry = credentials.find_entry(bridge);
        if (entry && !entry->sha256.empty()) {
            output.err() << "Note: bridge " << Util::printable(bridge.id())
                         << " stays pinned over HTTPS at " << Hue::bridge_text(entry->address)
                         << "; its entry is left as it was." << std::endl;
            return;
        }
    }
    credentials.store(bridge, user_id, pin);
}

// `bridge`, with the id `configuration` tells when the bridge's id is not
// known yet (a bridge named by address over plain HTTP).
Hue::Bridge known_by_id(const Hue::Bridge& bridge, const Hue::Configuration& configuration) {
    const auto id = configuration.bridge_id();
    if (!bridge.id().empty() || !id) return bridge;
    return bridge.with_id(*id);
}

// Adds this program to the bridge's whitelist unless `target`'s identity is
// on it already, and reads the configuration again with the identity granted.
// The name asked for is always the computed one. The name the bridge allows,
// granted now or before, is kept in the credentials file (see
// keep_user_name), with the bridge's id when it is known (a bridge named by
// address over plain HTTP tells it in the configuration read, before the user
// is created or after) and over TLS its certificate as its pin, replacing a
// kept name that the bridge no longer knew; over TLS the entry also keeps
// whether the bridge has the newer interface for the name (one more request,
// the last). Returns the line that tells what
// it did; a failure to create the user is noted through `output` before it
// propagates.
std::string authorise(Hue::Configuration& configuration, const Access::Target& target,
                      const AppIdentity& computed, const Settings& settings, const Output& output) {
    const std::string pin = target.shown ? target.shown->sha256 : std::string();
    const Access::CredentialsFile& credentials = *target.credentials;
    const Hue::Bridge bridge = known_by_id(target.bridge, configuration);
    if (configuration.is_allowed(target.identity)) {
        // The entry takes the bridge's id, if it had none, and over TLS the
        // certificate shown now as its pin.
        keep_user_name(credentials, bridge, target.identity.user_id, pin, output);
        Access::learn_interfaces(target, target.identity.user_id, settings.client);
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
        keep_user_name(credentials, bridge, granted.user_id, pin, output);
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
    if (bridge.id().empty() && configuration.bridge_id()) {
        // Only the whole configuration told the id: the entry kept by address
        // is kept under it, unless a pinned entry has that id.
        const Hue::Bridge by_id = known_by_id(bridge, configuration);
        const auto entry = credentials.find_entry(by_id);
        if (entry && !entry->sha256.empty()) credentials.remove(bridge, granted.user_id);
        keep_user_name(credentials, by_id, granted.user_id, pin, output);
    }
    Access::learn_interfaces(target, granted.user_id, settings.client);
    return "User created";
}

// Removes `user_id` from the bridge's whitelist and from the credentials
// file, and returns the line that tells so. Throws std::runtime_error "User
// not found" when the whitelist does not hold `user_id`; a failure to delete
// it is told through `output` before it propagates.
std::string deauthorise(Hue::Configuration& configuration, const std::string& user_id,
                        const Access::Target& target, const Output& output) {
    const AppIdentity user{std::string(), user_id};
    if (!configuration.is_allowed(user)) throw std::runtime_error("User not found");
    try {
        configuration.delete_user(user);
        configuration.refresh();
    } catch (...) {
        output.note("User deletion failed");
        throw;
    }
    target.credentials->remove(target.bridge, user_id);
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
        result = authorise(configuration, target, target.computed, settings, output);
    } else if (options.deauth) {
        result = deauthorise(configuration, *options.deauth, target, output);
    } else if (options.updatefw) {
        result = update_firmware(configuration);
    }
    render(output, ConfigPrintout{result, configuration_printout(configuration)});
    if (!options.auth && !configuration.reported("whitelist")) {
        // The bridge showed only what it shows anyone: the zeros and the
        // epoch above are what it withheld.
        output.err() << Util::printable(unauthorised_advice(target)) << std::endl;
    }
}

}  // namespace Commands
