#include "hue/sensors.hpp"

#include "hue/details/sensor_impl.hpp"

namespace Hue {

namespace details {

void Sensor_Impl::read(const Json::Value& sensor) {
    read_field(sensor, "name", m_name);
    read_field(sensor, "type", m_type);
    read_field(sensor, "modelid", m_modelid);
    read_field(sensor, "swversion", m_swversion);
}

}  // namespace details

Sensor::Sensor(std::shared_ptr<details::Sensor_Impl> impl) : m_impl(std::move(impl)) {}

std::string Sensor::id() const { return m_impl->id(); }
std::string Sensor::name() const { return m_impl->name(); }
std::string Sensor::type() const { return m_impl->type(); }
std::string Sensor::modelid() const { return m_impl->modelid(); }
std::string Sensor::swversion() const { return m_impl->swversion(); }

Sensors Sensors::from_json(const Client& client, const Json::Value& object) {
    return details::read_items<Sensors, Sensor, details::Sensor_Impl>(client, object);
}

}  // namespace Hue
