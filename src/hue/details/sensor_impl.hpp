#ifndef GLOWRIG_HUE_DETAILS_SENSOR_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_SENSOR_IMPL_HPP_

#include <string>

#include <cpprest/json.h>

#include "hue/client.hpp"

namespace Hue {
namespace details {

// The state behind a Sensor handle.
class Sensor_Impl {
public:
    Sensor_Impl(const Client& client_, std::string id_) : client(client_), id(std::move(id_)) {}
    Sensor_Impl(const Sensor_Impl&) = delete;
    Sensor_Impl& operator=(const Sensor_Impl&) = delete;

    // Reads "name", "type", "modelid", "manufacturername" (any value, kept as
    // its JSON text) and "swversion" where present. Throws
    // web::json::json_exception for a value of the wrong type.
    void read(const web::json::value& sensor);

    Client client;
    std::string id;
    std::string name;
    std::string type;
    std::string modelid;
    std::string manufacturername;
    std::string swversion;
};

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_SENSOR_IMPL_HPP_
