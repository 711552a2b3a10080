#include "access/bridge_selection.hpp"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include <boost/algorithm/string/predicate.hpp>

#include "access/credentials_file.hpp"
#include "commands/progress.hpp"
#include "discovery/selection.hpp"
#include "http/bridge_certificate.hpp"
#include "http/exchange.hpp"
#include "hue/address.hpp"
#include "hue/bridge_id.hpp"
#include "hue/client.hpp"
#include "json/value.hpp"
#include "util/printable.hpp"

namespace Access {
namespace {

std::string lower_case(std::string text) {
    for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The id the configuration of `bridge`, read without a user name through a
// client configured by `config`, tells (see Hue::configuration_bridge_id);
// nullopt when it tells none. Fails as Hue::Client::send and Hue::read_json do.
std::optional<std::string> id_told_by(const Hue::Bridge& bridge, const Hue::ClientConfig& config) {
    const Hue::Client client(Hue::resource_endpoint(bridge.endpoint(), "api/config"), config);
    return Hue::configuration_bridge_id(Hue::read_json(client.send(Http::Method::Get)));
}

// The id of a bridge met by address for the first time over TLS: its
// configuration, read without a user name over the connection later requests
// use, tells it, and the certificate must name the same.
std::string id_shown_by(const Hue::Bridge& bridge, const Commands::Settings& settings,
                        const std::shared_ptr<Http::Certificate>& seen) {
    Hue::ClientConfig config = settings.client;
    config.check_certificate =
        [seen](const Http::Certificate& shown) -> std::optional<std::string> {
        *seen = shown;
        return std::nullopt;
    };
    const std::optional<std::string> id = id_told_by(bridge, config);
    const std::string location = Http::location_text(bridge.endpoint());
    if (!id) {
        throw std::runtime_error("Error: the bridge at " + location + " does not tell its id.");
    }
    if (seen->common_name != lower_case(*id)) {
        throw std::runtime_error("Error: the certificate of the bridge at " + location +
                                 " names '" + seen->common_name + "', not its id " +
                                 lower_case(*id) + ".");
    }
    return *id;
}

// How long the first contact with a remembered bridge may take: a bridge at
// home answers within milliseconds, and a search follows when it does not.
constexpr std::chrono::milliseconds kFirstContact(1000);

// True when `bridge` answers within `timeout` as the bridge `id`: over HTTPS
// its certificate names the id (and is the one pinned, when `pin` is not
// empty), over plain HTTP its configuration, read without a user name, tells
// the id (letter case aside). Any failure is a no.
bool answers_as(const Hue::Bridge& bridge, const std::string& id, const std::string& pin,
                const Commands::Settings& settings, std::chrono::milliseconds timeout) {
    Hue::ClientConfig config = settings.client;
    config.timeout = std::min(config.timeout, timeout);
    const bool https = bridge.scheme() == Hue::Scheme::Https;
    if (https) {
        config.check_certificate =
            Http::bridge_certificate_check(id, pin, std::make_shared<Http::Certificate>());
    }
    try {
        const std::optional<std::string> told = id_told_by(bridge, config);
        return https || (told && boost::iequals(*told, id));
    } catch (const std::exception&) {
        return false;
    }
}

// The bridge a command names by id (`wanted`), or names none. A remembered
// bridge (the entry of that id, or the only entry with an id when none is
// named) that answers as itself at its address is used without a search.
// Otherwise selected_bridge searches; when it finds the remembered bridge at
// a new address where it answers as itself, its entry moves there, keeping
// its user name and pin.
Hue::Bridge remembered_or_found(const std::optional<std::string>& wanted, bool pin_anew,
                                const Commands::Settings& settings,
                                const CredentialsFile& credentials,
                                const Commands::Output& output) {
    std::optional<CredentialsFile::Entry> remembered;
    const auto entries = credentials.remembered();
    if (wanted) {
        for (const auto& entry : entries) {
            if (boost::iequals(entry.id, *wanted)) {
                remembered = entry;
                break;
            }
        }
    } else if (entries.size() == 1) {
        remembered = entries.front();
    }
    if (!remembered) return selected_bridge(wanted, settings, output);
    // "config --auth" pins anew: the certificate's CN is enough to know the bridge.
    const std::string pin = pin_anew ? std::string() : remembered->sha256;
    const auto at_home = remembered_bridge(*remembered);
    if (at_home && answers_as(*at_home, remembered->id, pin, settings, kFirstContact)) {
        return *at_home;
    }
    const Hue::Bridge found = selected_bridge(wanted, settings, output);
    if (!boost::iequals(found.id(), remembered->id)) return found;
    const auto same_place = [&at_home](const Hue::Bridge& bridge) {
        return at_home && at_home->ip() == bridge.ip() && at_home->port() == bridge.port() &&
               at_home->scheme() == bridge.scheme();
    };
    if (remembered->sha256.empty()) {
        if (!same_place(found) &&
            answers_as(found, remembered->id, std::string(), settings, settings.client.timeout)) {
            credentials.store(found, remembered->username);
        }
        return found;
    }
    // A pinned bridge stays on HTTPS: at the port it was announced on over
    // HTTPS, else at the one remembered.
    const Hue::Bridge moved =
        found.scheme() == Hue::Scheme::Https
            ? found
            : Hue::Bridge(found.id(), found.ip(), found.mac(),
                          remembered->port != 0 ? remembered->port : 443, Hue::Scheme::Https);
    if (same_place(moved)) return moved;
    // Somewhere new it is used only when it shows the pinned certificate.
    if (!answers_as(moved, remembered->id, remembered->sha256, settings, settings.client.timeout)) {
        const std::string location = Http::location_text(moved.endpoint());
        throw std::runtime_error("Error: bridge " + lower_case(remembered->id) + ", found at " +
                                 location +
                                 ", does not show its pinned certificate there; if it was reset "
                                 "or replaced, run 'glowrig config --auth --bridge=" +
                                 location + "' to trust the new one.");
    }
    credentials.store(moved, remembered->username, remembered->sha256);
    return moved;
}

}  // namespace

Hue::Bridge selected_bridge(const std::optional<std::string>& wanted,
                            const Commands::Settings& settings, const Commands::Output& output) {
    try {
        // A search shows its countdown; a named address ends it before it shows.
        Commands::Countdown countdown("Searching for bridges", settings.ssdp.window);
        return Discovery::select_bridge(wanted, settings, [&countdown] { countdown.tick(); });
    } catch (const Discovery::AmbiguousBridge& e) {
        output.note("Multiple bridges found, please specify desired bridge with --bridge=<Ip||Id>");
        // Which ones, as --bridge takes them, for the user to pick from.
        for (const Hue::Bridge& bridge : e.found()) {
            output.err() << "  " << Util::printable(bridge.id()) << "  "
                         << Hue::bridge_text(bridge.endpoint()) << std::endl;
        }
        throw;
    }
}

Target select_target(const Commands::BridgeOption& named, bool pin_anew,
                     const Commands::Settings& settings, const AppIdentity& computed,
                     const Commands::Output& output) {
    // The bridge as the command line (else GLOWRIG_BRIDGE) names it, read once
    // by the entry: by its address, or by its id.
    const std::optional<Hue::BridgeName>& wanted =
        named.bridge ? named.bridge : settings.default_bridge;
    const std::optional<Http::Endpoint> location = wanted ? wanted->location : std::nullopt;
    const std::optional<std::string> wanted_id =
        wanted && !location ? std::optional<std::string>(wanted->id) : std::nullopt;
    const CredentialsFile credentials(settings.credentials_file);
    Hue::Bridge bridge =
        location ? Hue::Bridge(std::string(), location->host, std::string(), location->port,
                               location->scheme)
                 : remembered_or_found(wanted_id, pin_anew, settings, credentials, output);
    auto entry = credentials.find_entry(bridge);
    if (location && location->bare && !(entry && !entry->sha256.empty()) &&
        Http::refuses_connections(bridge.endpoint(), settings.client.timeout)) {
        // Nothing listens on 443: a bridge of a generation without TLS.
        bridge = Hue::Bridge(std::string(), bridge.ip(), std::string(), Hue::kDefaultPort);
        entry = credentials.find_entry(bridge);
    }
    const bool pinned = entry && !entry->sha256.empty();
    std::string id = !bridge.id().empty() ? bridge.id() : entry ? entry->id : std::string();
    if (pinned && (bridge.scheme() != Hue::Scheme::Https || entry->port != 0)) {
        // A pinned bridge is never asked anything in clear.
        bridge = Hue::Bridge(id, bridge.ip(), bridge.mac(),
                             entry->port != 0 ? entry->port : bridge.port(), Hue::Scheme::Https);
    }
    Target target{bridge, computed, computed, nullptr};
    if (entry) target.identity.user_id = entry->username;
    if (bridge.scheme() != Hue::Scheme::Https) return target;
    auto certificate = std::make_shared<Http::Certificate>();
    target.shown = certificate;
    if (id.empty()) id = id_shown_by(bridge, settings, certificate);
    const std::string pin = pinned && !pin_anew ? entry->sha256 : std::string();
    target.bridge =
        Hue::Bridge(id, bridge.ip(), bridge.mac(), bridge.port(), Hue::Scheme::Https)
            .with_certificate_check(Http::bridge_certificate_check(id, pin, certificate));
    return target;
}

std::optional<Hue::Bridge> remembered_bridge(const CredentialsFile::Entry& entry) {
    const auto address = Http::read_endpoint(entry.address, Hue::kBridgeAddress);
    if (!address) return std::nullopt;
    if (entry.scheme != Hue::Scheme::Https && entry.sha256.empty()) {
        return Hue::Bridge(entry.id, address->host, std::string(), address->port);
    }
    return Hue::Bridge(entry.id, address->host, std::string(),
                       entry.port != 0 ? entry.port : address->port, Hue::Scheme::Https);
}

}  // namespace Access
