#ifndef GLOWRIG_SIM_SIM_BRIDGE_HPP_
#define GLOWRIG_SIM_SIM_BRIDGE_HPP_

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "json/value.hpp"
#include "sim/event_journal.hpp"

namespace Sim {

// What the listings of lights, groups and schedules hold for each item.
enum class Listings {
    whole,  // every item whole, as current firmware lists them (the default)
    names,  // {"name": ...} alone for every item, as old firmware lists them
    mixed,  // the 2nd, 4th, ... item of each listing by name alone, the others whole
};

// The shape named `text` ("whole", "names" or "mixed"); throws
// std::invalid_argument for any other text.
Listings listings_from_text(const std::string& text);

// The id a bridge makes from its MAC address: the six hex digits before and
// after "FFFE", upper case ("00:17:88:1a:2b:3c" gives "001788FFFE1A2B3C").
// Empty when `mac` is not six pairs of hex digits joined by ':'.
std::string bridge_id_from_mac(const std::string& mac);

// One request as the simulator received it.
struct LoggedRequest {
    std::string method;
    std::string path;  // path and query as received, still percent-encoded
    std::string body;
    int connection = 0;         // which connection it came on, numbered from 1 per server
    std::string last_event_id;  // an event stream request's Last-Event-ID; empty: none
    std::chrono::steady_clock::time_point at = std::chrono::steady_clock::now();  // when received
};

// What the simulator answers.
struct Reply {
    int status = 200;
    std::string reason;  // empty: the usual phrase for the status
    std::string body;
    std::string content_type = "application/json";
    int delay_ms = 0;         // wait this long before answering
    std::string retry_after;  // the Retry-After field; empty: none
};

// A canned answer for one method and path, replacing the bridge's own.
struct Fault {
    int status = 200;
    std::string reason;
    std::optional<std::string> body;  // raw body; none: the bridge's own answer's body
    int delay_ms = 0;
};

// One simulated bridge: its state (configuration, lights, groups, schedules,
// scenes, sensors, rules), its link button, its request log and its faults.
// Safe for concurrent use.
//
// The fixture is a JSON object:
//   "state": the whole state as GET /api/{user} answers it ("config" with
//            "whitelist", "lights", "groups", ...); members may be left out;
//   "linkbutton": true when user creation is allowed (default false);
//   "generatenames": true when the bridge ignores the requested user name
//            and always grants one it generates (default false);
//   "listings": what GET lights, groups and schedules give of each item:
//            "whole" (default), "names" or "mixed" (see Listings); the item
//            itself (GET lights/{id}, ...) is always whole;
//   "newlights": lights that a search for new lights finds, keyed by id;
//   "portal": the reply of GET /api/nupnp (default []);
//   "description": the device description served at /description.xml, with
//            the members "friendlyName", "manufacturer", "modelName",
//            "modelNumber", "serialNumber", "presentationURL", "UDN" and
//            "URLBase" (all optional strings); without it there is none;
//   "faults": [{"method", "path", "status", "reason", "body", "delay_ms"}].
//
// Every change of its lights, groups or sensors, made by a request or by
// update(), becomes one event of its event stream, kept in its journal.
class SimBridge {
public:
    explicit SimBridge(const Json::Value& fixture);

    // Answers one request and logs it. `path` is the path and query as received;
    // `connection` numbers the connection it came on. Each segment of the path
    // is percent-decoded; a path with a '%' not followed by two hex digits, or
    // with a byte outside ASCII, is answered with 400.
    // `key` is the request's hue-application-key field, which the newer
    // interface (/clip/v2/...) takes as the user name.
    Reply handle(const std::string& method, const std::string& path, const std::string& body,
                 int connection = 0, const std::string& key = std::string());

    // Logs a request that the bridge does not answer itself (a redirect).
    void log(const LoggedRequest& request);

    // The bridge's id in lower case, as its certificate names it: the
    // configuration's "bridgeid", else the id made from its "mac"; empty when
    // it has neither.
    std::string certificate_name() const;

    // The requests received so far, in order.
    std::vector<LoggedRequest> requests() const;
    void clear_requests();

    // Answers `method` on `path` (as received) with `fault` from now on.
    void set_fault(const std::string& method, const std::string& path, const Fault& fault);

    // Answers the next `times` requests of `method` on `path` with `status`
    // (429, 503) and an empty body, with `retry_after` as Retry-After unless it
    // is empty, without carrying them out.
    void refuse(const std::string& method, const std::string& path, int status, int times,
                const std::string& retry_after = std::string());

    // Presses (true) or releases the link button.
    void set_link_button(bool pressed);

    // Makes the bridge ignore requested user names and grant generated ones
    // (true), or grant valid requested names (false).
    void set_generate_names(bool generate);

    // Gives the listings of lights, groups and schedules in `shape` from now on.
    void set_listings(Listings shape);

    // Makes the bridge one of the newest generation (true): it serves no device
    // description, as such bridges are found through mDNS only.
    void set_newest(bool newest);
    bool newest() const;

    // The bridge's id as it announces it: the configuration's "bridgeid", else
    // the id made from its "mac", else the description's serial number, else "".
    std::string bridge_id() const;

    // A copy of the whole state.
    Json::Value state() const;

    // Changes the state under the bridge's lock; a change of the lights,
    // groups or sensors becomes one event.
    void update(const std::function<void(Json::Value& state)>& change);

    // True when `name` is on the whitelist.
    bool has_user(const std::string& name) const;

    // True when requests of `method` on `path` are answered by a fault or a
    // refusal (see set_fault(), refuse()).
    bool has_fault(const std::string& method, const std::string& path) const;

    // The events of the bridge's event stream.
    EventJournal& journal() { return m_journal; }

    // The event streams being served now; the stream's server counts them
    // through stream_started() and stream_ended().
    int open_streams() const { return m_open_streams; }
    void stream_started() { ++m_open_streams; }
    void stream_ended() { --m_open_streams; }

    // Ends every event stream being served, as a bridge that drops its
    // streams does.
    void drop_streams() { m_journal.drop_all(); }

    // How long an event stream goes without an event before a heartbeat
    // (default 10 s).
    void set_heartbeat(std::chrono::milliseconds interval) { m_heartbeat_ms = interval.count(); }
    std::chrono::milliseconds heartbeat() const {
        return std::chrono::milliseconds(m_heartbeat_ms);
    }

    // Serves the newer interface under /clip/v2 (true), as bridges reached
    // over TLS do; without it those paths are not found (404). The sensors
    // of the fixture's "v2" member join the state then.
    void serve_clip_v2(bool serve);

    // Answers requests of the newer interface beyond `per_second` in one
    // second with 429 (or the fixture's "v2" "rate_limit_status") and
    // Retry-After: 1, without carrying them out; 0: no limit.
    void set_rate_limit(int per_second);

    // Called with every request after it is logged (for a log file).
    void set_observer(std::function<void(const LoggedRequest&)> observer);

private:
    // Journals what differs in the lights, groups and sensors since `before`
    // (snapshot() then). REQUIRES: m_mutex held.
    void journal_changes(const Json::Value& before);

    Reply route(const std::string& method, const std::string& path, const std::string& body,
                const std::string& key);
    // What the events compare: the watched collections and the extras.
    Json::Value snapshot() const;
    // has_user() with m_mutex held.
    bool has_key(const std::string& name) const;
    // True when a request of the newer interface is over the rate limit.
    // REQUIRES: m_mutex held.
    bool over_rate_limit();

    mutable std::mutex m_mutex;
    Json::Value m_state;
    Json::Value m_new_lights;
    Json::Value m_scan;
    Json::Value m_portal;
    Json::Value m_extras;  // what only the newer interface shows (see clip_v2.hpp)
    bool m_clip_v2 = false;
    int m_rate_limit = 0;
    std::chrono::steady_clock::time_point m_rate_window;
    int m_rate_count = 0;
    std::string m_description;  // empty: no device description
    std::string m_serial;       // the description's serial number
    bool m_newest = false;
    bool m_link_button = false;
    bool m_generate_names = false;
    Listings m_listings = Listings::whole;
    std::vector<LoggedRequest> m_requests;
    std::map<std::string, Fault> m_faults;
    struct Refusal {
        int status;
        int times;
        std::string retry_after;
    };
    std::map<std::string, Refusal> m_refusals;
    std::function<void(const LoggedRequest&)> m_observer;
    EventJournal m_journal;
    std::atomic<int> m_open_streams{0};
    std::atomic<std::int64_t> m_heartbeat_ms{10000};
};

}  // namespace Sim

#endif  // GLOWRIG_SIM_SIM_BRIDGE_HPP_
