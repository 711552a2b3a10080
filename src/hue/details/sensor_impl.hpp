#ifndef GLOWRIG_HUE_DETAILS_SENSOR_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_SENSOR_IMPL_HPP_

#include <string>

#include "hue/details/resource_impl.hpp"

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

    // Reads "name", "type", "modelid" and "swversion" where present. Throws
    // Json::Error for a value of the wrong type.
    void read(const Json::Value& sensor);
    // The members read() reads, and the member of a listing that is no sensor.
    static constexpr std::string_view kRead[] = {"name", "type", "modelid", "manufacturername",
                                                 "swversion"};
    static constexpr const char* kNotAnItem = "lastscan";

private:
    std::string m_name;
    std::string m_type;
    std::string m_modelid;
    std::string m_swversion;
};

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_SENSOR_IMPL_HPP_
