#ifndef GLOWRIG_COMMANDS_COMMAND_HPP_
#define GLOWRIG_COMMANDS_COMMAND_HPP_

#include <boost/program_options/variables_map.hpp>
#include <cpprest/details/web_utilities.h>

#include "hue/app_identity.hpp"

namespace commands {

// Every command takes the parsed options, the proxy setting and the identity,
// runs to completion and reports failure by exception.
using CommandFunction = void (*)(const boost::program_options::variables_map& options,
                                 const web::web_proxy& proxy, const AppIdentity& identity);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_COMMAND_HPP_
