#ifndef GLOWRIG_HUE_DETAILS_SENSOR_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_SENSOR_IMPL_HPP_

#include <string>

#include "hue/details/resource_impl.hpp"
#include "hue/sensors.hpp"

namespace Hue {
namespace details {

// The state behind a Sensor handle.
class Sensor_Impl : public Resource_Impl {
public:
    using Resource_Impl::Resource_Impl;

    const std::string& name() const { return m_name; }
    const std::string& type() const { return m_type; }
    const std::string& modelid() const { return m_modelid; }
    const std::string& swversion() const { return m_swversion; }
    const Json::Value& state() const { return m_state; }
    const SensorConfig& config() const { return m_config; }

    // Reads "name", "type", "modelid" and "swversion" where present, "state"
    // whole when it is an object, and of "config" the members "on",
    // "battery" and "reachable" that have their type (the others stay
    // absent: a sensor of an unusual kind never fails a listing). Throws
    // Json::Error for a text member of the wrong type.
    void read(const Json::Value& sensor);
    // The members read() reads, and the member of a listing that is no sensor.
    static constexpr std::string_view kRead[] = {
        "name", "type", "modelid", "manufacturername", "swversion", "state", "config"};
    static constexpr const char* kNotAnItem = "lastscan";

private:
    std::string m_name;
    std::string m_type;
    std::string m_modelid;
    std::string m_swversion;
    Json::Value m_state = Json::Value::object();
    SensorConfig m_config;
};

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_SENSOR_IMPL_HPP_
