#ifndef GLOWRIG_CLI_IDENTITY_HPP_
#define GLOWRIG_CLI_IDENTITY_HPP_

#include <functional>
#include <optional>
#include <string>

#include "hue/app_identity.hpp"

namespace Cli {

// Where the two parts of the user id come from. Each returns the name (UTF-8)
// or nullopt when it cannot be read.
struct NameSources {
    std::function<std::optional<std::string>()> computer_name;
    std::function<std::optional<std::string>()> user_name;
};

// The host name and the name of the effective user of this process.
NameSources system_name_sources();

// Returns the computer name followed by the user name, padded with 'W' to at
// least 10 characters and cut to at most 40 (characters are code points). The
// two names and a terminator must fit 272 characters, the computer name
// first. Throws std::runtime_error
// "Could not get computer name." or "Could not get user name.".
std::string make_user_id(const NameSources& sources = system_name_sources());

// The identity of this program: "glowrig" and make_user_id().
AppIdentity make_app_identity();

}  // namespace Cli

#endif  // GLOWRIG_CLI_IDENTITY_HPP_
