#ifndef GLOWRIG_HUE_FULLSTATE_HPP_
#define GLOWRIG_HUE_FULLSTATE_HPP_

#include <tuple>

#include "hue/bridge.hpp"
#include "hue/configuration.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "hue/rules.hpp"
#include "hue/scenes.hpp"
#include "hue/schedules.hpp"
#include "hue/sensors.hpp"
#include "json/value_fwd.hpp"

namespace Hue {

// Splits `root`, the whole state of `bridge` as GET {api} reports it, into
// its seven collections, each with a client of its own resource. "rules",
// "sensors" and "scenes" may be absent (empty collections); a root without
// "schedules", "groups", "lights" or "config" fails with Json::Error "Key not
// found", and a value of the wrong type with its type error.
FullState read_full_state(const Bridge& bridge, const Http::Options& options,
                          const AppIdentity& identity, const Json::Value& root);

// As read_full_state, of the reply to GET {api} of `bridge` (strict), read
// as the parser meets it: no tree of the whole state is built.
FullState read_full_state_reply(const Bridge& bridge, const Http::Options& options,
                                const AppIdentity& identity);

}  // namespace Hue

#endif  // GLOWRIG_HUE_FULLSTATE_HPP_
