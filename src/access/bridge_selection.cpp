#include "access/bridge_selection.hpp"

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include <boost/algorithm/string/predicate.hpp>

#include "access/credentials_file.hpp"
#include "discovery/selection.hpp"
#include "http/bridge_certificate.hpp"
#include "http/exchange.hpp"
#include "hue/bridge_id.hpp"
#include "hue/client.hpp"
#include "json/value.hpp"
#include "util/printable.hpp"
#include "util/text.hpp"

namespace Access {
namespace {

// The id the configuration of `bridge`, read without a user name through a
// client whose exchanges take `options`, tells (see
// Hue::configuration_bridge_id); nullopt when it tells none. Fails as
// Hue::Client::send and Hue::read_json do.
std::optional<std::string> id_told_by(const Hue::Bridge& bridge, const Http::Options& options) {
    const Hue::Client client(Hue::resource_endpoint(bridge.endpoint(), "api/config"), options);
    return Hue::configuration_bridge_id(Hue::read_json(client.send(Http::Method::Get)));
}

// The id of a bridge met by address for the first time over TLS: its
// configuration, read without a user name over the connection later requests
// use, tells it, and the certificate must name the same.
std::string id_shown_by(const Hue::Bridge& bridge, const Settings& settings,
                        const std::shared_ptr<Http::Certificate>& seen) {
    Http::Options options = settings.client;
    options.check = [seen](const Http::Certificate& shown) -> std::optional<std::string> {
        *seen = shown;
        return std::nullopt;
    };
    const std::optional<std::string> id = id_told_by(bridge, options);
    const std::string location = Http::location_text(bridge.endpoint());
    if (!id) {
        throw std::runtime_error("Error: the bridge at " + location + " does not tell its id.");
    }
    if (seen->common_name != Util::lower_case(*id)) {
        throw std::runtime_error("Error: the certificate of the bridge at " + location +
                                 " names '" + seen->common_name + "', not its id " +
                                 Util::lower_case(*id) + ".");
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
                const Settings& settings, std::chrono::milliseconds timeout) {
    Http::Options options = settings.client;
    options.timeout = std::min(options.timeout, timeout);
    const bool https = bridge.endpoint().scheme == Hue::Scheme::Https;
    if (https) {
        options.check =
            Http::bridge_certificate_check(id, pin, std::make_shared<Http::Certificate>());
    }
    try {
        const std::optional<std::string> told = id_told_by(bridge, options);
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
Hue::Bridge remembered_or_found(const std::optional<std::string>& wanted, PinPolicy pin,
                                const Settings& settings, const CredentialsFile& credentials,
                                Progress& progress) {
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
    if (!remembered) return selected_bridge(wanted, settings, progress);
    // "config --auth" pins anew: the certificate's CN is enough to know the bridge.
    const std::string first_pin = pin == PinPolicy::anew ? std::string() : remembered->sha256;
    const Http::Endpoint& home = remembered->address;
    const Hue::Bridge at_home(remembered->id, home);
    if (answers_as(at_home, remembered->id, first_pin, settings, kFirstContact)) return at_home;
    const Hue::Bridge found = selected_bridge(wanted, settings, progress);
    if (!boost::iequals(found.id(), remembered->id)) return found;
    const auto at_home_place = [&home](const Http::Endpoint& endpoint) {
        return home.host == endpoint.host && home.port == endpoint.port &&
               home.scheme == endpoint.scheme;
    };
    if (remembered->sha256.empty()) {
        if (!at_home_place(found.endpoint()) &&
            answers_as(found, remembered->id, std::string(), settings, settings.client.timeout)) {
            // What it was known to offer stays known, over HTTPS.
            credentials.store(found, remembered->username, std::string(),
                              remembered->newer && found.endpoint().scheme == Hue::Scheme::Https);
        }
        return found;
    }
    // A pinned bridge stays on HTTPS: at the port it was announced on over
    // HTTPS, else at the one remembered.
    Http::Endpoint over_https = found.endpoint();
    if (over_https.scheme != Hue::Scheme::Https) {
        over_https.scheme = Hue::Scheme::Https;
        over_https.port = home.port;
    }
    const Hue::Bridge moved(found.id(), over_https, found.mac());
    if (at_home_place(over_https)) return moved;
    // Somewhere new it is used only when it shows the pinned certificate.
    if (!answers_as(moved, remembered->id, remembered->sha256, settings, settings.client.timeout)) {
        const std::string location = Http::location_text(over_https);
        throw std::runtime_error("Error: bridge " + Util::lower_case(remembered->id) +
                                 ", found at " + location +
                                 ", does not show its pinned certificate there; if it was reset "
                                 "or replaced, run 'glowrig config --auth --bridge=" +
                                 location + "' to trust the new one.");
    }
    credentials.store(moved, remembered->username, remembered->sha256, remembered->newer);
    return moved;
}

// Tells `progress` that a search has ended when it goes out of scope.
class SearchEnd {
public:
    explicit SearchEnd(Progress& progress) : m_progress(progress) {}
    SearchEnd(const SearchEnd&) = delete;
    SearchEnd& operator=(const SearchEnd&) = delete;
    ~SearchEnd() { m_progress.search_ended(); }

private:
    Progress& m_progress;
};

}  // namespace

void Progress::search_started(std::chrono::milliseconds) {}

void Progress::tick() {}

void Progress::search_ended() {}

void Progress::several_found(const std::vector<Hue::Bridge>&) {}

Hue::Bridge selected_bridge(const std::optional<std::string>& wanted, const Settings& settings,
                            Progress& progress) {
    progress.search_started(settings.ssdp.window);
    try {
        const SearchEnd end(progress);  // before several_found, however the search ends
        return Discovery::select_bridge(wanted, settings, [&progress] { progress.tick(); });
    } catch (const Discovery::AmbiguousBridge& e) {
        progress.several_found(e.found());
        throw;
    }
}

Target select_target(const std::optional<Hue::BridgeName>& named, PinPolicy pin,
                     const Settings& settings, const AppIdentity& computed, Progress& progress) {
    // The bridge as the command line (else GLOWRIG_BRIDGE) names it, read once
    // by the entry: by its address, or by its id.
    const std::optional<Hue::BridgeName>& wanted = named ? named : settings.default_bridge;
    const std::optional<Http::Endpoint> location = wanted ? wanted->location : std::nullopt;
    const std::optional<std::string> wanted_id =
        wanted && !location ? std::optional<std::string>(wanted->id) : std::nullopt;
    auto credentials = std::make_shared<const CredentialsFile>(settings.credentials_file);
    Hue::Bridge bridge =
        location ? Hue::Bridge(std::string(), *location)
                 : remembered_or_found(wanted_id, pin, settings, *credentials, progress);
    auto entry = credentials->find_entry(bridge);
    if (location && location->bare && !(entry && !entry->sha256.empty()) &&
        Http::refuses_connections(bridge.endpoint(), settings.client.timeout)) {
        // Nothing listens on 443: a bridge of a generation without TLS.
        bridge = Hue::Bridge(std::string(), {.host = location->host, .port = Hue::kDefaultPort});
        entry = credentials->find_entry(bridge);
    }
    Target target{bridge, computed, computed, nullptr, credentials};
    if (entry) target.identity.user_id = entry->username;
    const bool pinned = entry && !entry->sha256.empty();
    if (bridge.endpoint().scheme != Hue::Scheme::Https && !pinned) return target;
    // Over TLS: a pinned bridge is never asked anything in clear. (Its port
    // is its entry's: the entry was matched at it, or moved to it above.)
    Http::Endpoint endpoint = bridge.endpoint();
    endpoint.scheme = Hue::Scheme::Https;
    std::string id = !bridge.id().empty() ? bridge.id() : entry ? entry->id : std::string();
    const Hue::Bridge over_tls(id, endpoint, bridge.mac());
    auto certificate = std::make_shared<Http::Certificate>();
    target.shown = certificate;
    if (id.empty()) id = id_shown_by(over_tls, settings, certificate);
    const std::string checked_pin =
        pinned && pin == PinPolicy::check ? entry->sha256 : std::string();
    target.bridge = over_tls.with_id(id).with_certificate_check(
        Http::bridge_certificate_check(id, checked_pin, certificate));
    return target;
}

}  // namespace Access
