#ifndef GLOWRIG_HUE_BRIDGE_ID_HPP_
#define GLOWRIG_HUE_BRIDGE_ID_HPP_

#include <optional>
#include <string>

#include "json/value_fwd.hpp"

namespace Hue {

// The id a bridge makes from its MAC address: the MAC's first three bytes,
// "FFFE", then its last three, as hexadecimal digits in upper case
// ("00:17:88:1a:2b:3c" gives "001788FFFE1A2B3C"). `mac` is six bytes of two
// hexadecimal digits each (any letter case), separated by ':' or '-'; nullopt
// for anything else.
std::optional<std::string> bridge_id_from_mac(const std::string& mac);

// The id a bridge's configuration tells: its "bridgeid" when that is
// non-empty text, else the id made from its "mac" (a bridge of a generation
// that does not report its id). nullopt when it tells neither, and when
// `configuration` is not an object.
std::optional<std::string> configuration_bridge_id(const Json::Value& configuration);

}  // namespace Hue

#endif  // GLOWRIG_HUE_BRIDGE_ID_HPP_
