#include "commands/schedules.hpp"

#include <stdexcept>

namespace commands {

void run_schedules_command(const boost::program_options::variables_map&, const web::web_proxy&,
                           const AppIdentity&) {
    throw std::runtime_error("Error: the 'schedules' command is not available yet.");
}

void run_schedule_command(const boost::program_options::variables_map&, const web::web_proxy&,
                          const AppIdentity&) {
    throw std::runtime_error("Error: the 'schedule' command is not available yet.");
}

}  // namespace commands
