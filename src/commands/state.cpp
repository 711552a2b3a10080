#include "commands/state.hpp"

#include <stdexcept>

namespace commands {

void run_state_command(const boost::program_options::variables_map&, const web::web_proxy&,
                       const AppIdentity&) {
    throw std::runtime_error("Error: the 'state' command is not available yet.");
}

}  // namespace commands
