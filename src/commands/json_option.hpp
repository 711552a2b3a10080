#ifndef GLOWRIG_COMMANDS_JSON_OPTION_HPP_
#define GLOWRIG_COMMANDS_JSON_OPTION_HPP_

#include <boost/program_options/variables_map.hpp>

namespace commands {

// True when the command line asks for the JSON printout (option "json").
bool wants_json(const boost::program_options::variables_map& options);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_JSON_OPTION_HPP_
