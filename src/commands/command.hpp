#ifndef GLOWRIG_COMMANDS_COMMAND_HPP_
#define GLOWRIG_COMMANDS_COMMAND_HPP_

#include <boost/program_options/variables_map.hpp>

#include "hue/app_identity.hpp"
#include "hue/client.hpp"

namespace commands {

// Every command takes the parsed options, the client configuration and the identity,
// runs to completion and reports failure by exception.
using CommandFunction = void (*)(const boost::program_options::variables_map& options,
                                 const Hue::ClientConfig& client_config,
                                 const AppIdentity& identity);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_COMMAND_HPP_
