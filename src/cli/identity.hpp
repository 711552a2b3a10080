#ifndef GLOWRIG_CLI_IDENTITY_HPP_
#define GLOWRIG_CLI_IDENTITY_HPP_

#include <cstddef>
#include <functional>
#include <string>

#include "hue/app_identity.hpp"

namespace cli {

// Where the two parts of the user id come from. Each writes a name and its
// terminating zero into `buffer` (room for `capacity` characters) and returns
// false when the name cannot be read or does not fit.
struct NameSources {
    // Stores the length without the terminator in `*length`.
    std::function<bool(wchar_t* buffer, std::size_t capacity, std::size_t* length)> computer_name;
    // Stores the length including the terminator in `*count`.
    std::function<bool(wchar_t* buffer, std::size_t capacity, std::size_t* count)> user_name;
};

// The host name and the name of the effective user of this process.
NameSources system_name_sources();

// Returns the computer name followed by the user name, padded with 'W' to at
// least 10 characters and cut to at most 40. Throws std::runtime_error
// "Could not get computer name." or "Could not get user name.".
std::wstring make_user_id(const NameSources& sources = system_name_sources());

// The identity of this program: "glowrig" and make_user_id().
AppIdentity make_app_identity();

}  // namespace cli

#endif  // GLOWRIG_CLI_IDENTITY_HPP_
