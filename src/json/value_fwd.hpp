#ifndef GLOWRIG_JSON_VALUE_FWD_HPP_
#define GLOWRIG_JSON_VALUE_FWD_HPP_

#include <nlohmann/json_fwd.hpp>

namespace Json {

// A JSON value (see json/value.hpp): the name for headers that only pass
// values along, without the JSON library's whole header.
using Value = nlohmann::json;

}  // namespace Json

#endif  // GLOWRIG_JSON_VALUE_FWD_HPP_
