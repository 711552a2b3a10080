#ifndef GLOWRIG_COMMANDS_JSON_OUTPUT_HPP_
#define GLOWRIG_COMMANDS_JSON_OUTPUT_HPP_

// The former home of wants_json(), for the files that still include it.
#include "commands/json_option.hpp"

#endif  // GLOWRIG_COMMANDS_JSON_OUTPUT_HPP_
