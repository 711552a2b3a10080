#ifndef GLOWRIG_HUE_APP_IDENTITY_HPP_
#define GLOWRIG_HUE_APP_IDENTITY_HPP_

#include <string>

// The name under which glowrig talks to a bridge.
struct AppIdentity {
    std::string app_name;  // sent as "devicetype" when asking to be whitelisted
    std::string user_id;   // sent as "username"; the path segment after "api/"
};

#endif  // GLOWRIG_HUE_APP_IDENTITY_HPP_
