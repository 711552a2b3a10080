#include "commands/groups.hpp"

#include <stdexcept>

namespace commands {

void run_groups_command(const boost::program_options::variables_map&, const web::web_proxy&,
                        const AppIdentity&) {
    throw std::runtime_error("Error: the 'groups' command is not available yet.");
}

void run_group_command(const boost::program_options::variables_map&, const web::web_proxy&,
                       const AppIdentity&) {
    throw std::runtime_error("Error: the 'group' command is not available yet.");
}

}  // namespace commands
