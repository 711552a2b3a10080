#include "hue/sensors.hpp"

#include "hue/details/sensor_impl.hpp"
#include "hue/text.hpp"

namespace Hue {

namespace details {

void Sensor_Impl::read(const web::json::value& sensor) {
    if (sensor.has_field("name")) name = sensor.at("name").as_string();
    if (sensor.has_field("type")) type = sensor.at("type").as_string();
    if (sensor.has_field("modelid")) modelid = sensor.at("modelid").as_string();
    if (sensor.has_field("manufacturername")) {
        manufacturername = sensor.at("manufacturername").serialize();
    }
    if (sensor.has_field("swversion")) swversion = sensor.at("swversion").as_string();
}

}  // namespace details

Sensor::Sensor(std::shared_ptr<details::Sensor_Impl> impl) : m_impl(std::move(impl)) {}

std::string Sensor::id() const { return m_impl->id; }
std::string Sensor::name() const { return m_impl->name; }
std::string Sensor::type() const { return m_impl->type; }
std::string Sensor::modelid() const { return m_impl->modelid; }
std::string Sensor::manufacturername() const { return m_impl->manufacturername; }
std::string Sensor::swversion() const { return m_impl->swversion; }

Sensors Sensors::from_json(const Client& client, const web::json::value& object) {
    return read_items<Sensors, Sensor, details::Sensor_Impl>(client, object, "lastscan");
}

}  // namespace Hue
