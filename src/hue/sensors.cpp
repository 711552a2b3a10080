#include "hue/sensors.hpp"

#include "hue/details/sensor_impl.hpp"
#include "hue/text.hpp"

namespace Hue {

namespace details {

void Sensor_Impl::read(const web::json::value& sensor) {
    if (sensor.has_field("name")) name = to_wide(sensor.at("name").as_string());
    if (sensor.has_field("type")) type = to_wide(sensor.at("type").as_string());
    if (sensor.has_field("modelid")) modelid = to_wide(sensor.at("modelid").as_string());
    if (sensor.has_field("manufacturername")) {
        manufacturername = to_wide(sensor.at("manufacturername").serialize());
    }
    if (sensor.has_field("swversion")) swversion = to_wide(sensor.at("swversion").as_string());
}

}  // namespace details

Sensor::Sensor(std::shared_ptr<details::Sensor_Impl> impl) : m_impl(std::move(impl)) {}

std::wstring Sensor::id() const { return m_impl->id; }
std::wstring Sensor::name() const { return m_impl->name; }
std::wstring Sensor::type() const { return m_impl->type; }
std::wstring Sensor::modelid() const { return m_impl->modelid; }
std::wstring Sensor::manufacturername() const { return m_impl->manufacturername; }
std::wstring Sensor::swversion() const { return m_impl->swversion; }

Sensors Sensors::from_json(const Client& client, const web::json::value& object) {
    return read_items<Sensors, Sensor, details::Sensor_Impl>(client, object, "lastscan");
}

}  // namespace Hue
