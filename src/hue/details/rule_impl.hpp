#ifndef GLOWRIG_HUE_DETAILS_RULE_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_RULE_IMPL_HPP_

#include <string>

#include <cpprest/json.h>

#include "hue/client.hpp"

namespace Hue {
namespace details {

// The state behind a Rule handle.
class Rule_Impl {
public:
    Rule_Impl(const Client& client_, std::string id_) : client(client_), id(std::move(id_)) {}
    Rule_Impl(const Rule_Impl&) = delete;
    Rule_Impl& operator=(const Rule_Impl&) = delete;

    // Reads "name" where present. Throws web::json::json_exception when it is
    // not a string.
    void read(const web::json::value& rule);

    Client client;
    std::string id;
    std::string name;
};

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_RULE_IMPL_HPP_
