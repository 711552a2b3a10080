#include "commands/json_option.hpp"

namespace commands {

bool wants_json(const boost::program_options::variables_map& options) {
    return options.count("json") != 0;
}

}  // namespace commands
