#include "commands/lights.hpp"

#include <stdexcept>

namespace commands {

void run_lights_command(const boost::program_options::variables_map&, const web::web_proxy&,
                        const AppIdentity&) {
    throw std::runtime_error("Error: the 'lights' command is not available yet.");
}

void run_light_command(const boost::program_options::variables_map&, const web::web_proxy&,
                       const AppIdentity&) {
    throw std::runtime_error("Error: the 'light' command is not available yet.");
}

}  // namespace commands
