#ifndef GLOWRIG_COMMANDS_NEWER_LIGHT_OPTIONS_HPP_
#define GLOWRIG_COMMANDS_NEWER_LIGHT_OPTIONS_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "access/bridge_selection.hpp"
#include "commands/options.hpp"
#include "commands/run_settings.hpp"
#include "json/value.hpp"

namespace Commands {

// The state options only the newer interface carries out: "--effect" beyond
// none and colorloop, "--sunrise", "--sunset", "--gradient" and "--signal"
// (with "--signal-colors" and "--signal-for"). Each goes in one PUT of the
// light's or grouped light's newer resource, after the older request.

// Whether "--effect" names an effect beyond the older none and colorloop.
bool newer_effect(const StateOptions& options);

// The first option of `options` only the newer interface carries out, as
// the command line spells it ("--sunrise", "--effect=candle"); empty when
// there is none.
std::string newer_option(const StateOptions& options);

// Milliseconds of a duration "90s", "30m", "1h30m", "2h" or plain seconds,
// 1 s to 6 h. Throws UsageError naming `option` for any other text.
std::int64_t duration_ms(const std::string& text, const char* option);

// The colours of a comma-separated list, each read as "--color" reads it (a
// comma inside "rgb(...)" belongs to its colour). Throws UsageError for a
// text that names no colour.
std::vector<Util::Xy> colour_list(const std::string& text);

// Refuses with UsageError what no bridge takes: a malformed duration or
// colour list, "--sunrise" with "--sunset", a gradient of fewer than two
// colours, signal colours that do not fit the signal, "--signal-colors" or
// "--signal-for" without "--signal"; and for a group (`group`) every newer
// option but "--signal".
void check_newer_options(const StateOptions& options, bool group);

// Refuses, before anything is sent, newer options for a bridge whose
// credentials entry does not say it has the newer interface: an effect name
// beyond none and colorloop with the older UsageError, others with
// std::runtime_error "Error: the bridge at https://... has no newer
// interface; --sunrise needs it.".
void require_newer(const StateOptions& options, const Access::Target& target);

// One item the newer options change: its older path ("/lights/3",
// "/groups/1") and how messages name it ("light 3 (Desk)").
struct NewerItem {
    std::string id_v1;
    std::string what;
};

// One PUT of the newer interface.
struct NewerChange {
    std::string type;  // "light" or "grouped_light"
    std::string id;    // the resource's UUID
    Json::Value body;
};

// The PUT each of `items` gets, in their order, from one read of the
// newer resources of `type` ("light" or "grouped_light"); none when no
// newer option is given. Throws std::runtime_error, nothing sent, for an
// item that cannot do what is asked, naming what it can do; a 404 clears
// the entry's mark and is refused as require_newer does.
std::vector<NewerChange> newer_changes(const StateOptions& options, const std::string& type,
                                       const std::vector<NewerItem>& items,
                                       const Settings& settings, const Access::Target& target);

// Sends `change`.
void send_newer(const NewerChange& change, const Settings& settings, const Access::Target& target);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_NEWER_LIGHT_OPTIONS_HPP_
