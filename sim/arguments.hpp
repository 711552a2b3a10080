#ifndef GLOWRIG_SIM_ARGUMENTS_HPP_
#define GLOWRIG_SIM_ARGUMENTS_HPP_

#include <string>
#include <vector>

namespace Sim {

// The simulator's arguments (without the program's name) in the order it
// reads them: the options after the last bridge moved, in their order, before
// the first argument, so that "ADDRESS=F.json --change-rate 4" reads as
// "--change-rate 4 ADDRESS=F.json". Options apply to the bridges after them,
// so options given last apply to every bridge, unless the same option is
// given before it. The value of an option that takes one stays with it; when
// the last option lacks its value, nothing is moved, so that it is refused
// as before rather than take a bridge for its value.
std::vector<std::string> options_first(const std::vector<std::string>& args);

}  // namespace Sim

#endif  // GLOWRIG_SIM_ARGUMENTS_HPP_
