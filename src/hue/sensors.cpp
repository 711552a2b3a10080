#include "hue/sensors.hpp"

#include "hue/details/sensor_impl.hpp"

namespace Hue {

namespace details {
namespace {

// `field` set from `key` of `object` when it holds a value of the field's
// type; absent otherwise.
void read_lenient(const Json::Value& object, const char* key, std::optional<bool>& field) {
    const Json::Value* value = Json::find(object, key);
    field = value != nullptr && value->is_boolean() ? std::optional<bool>(value->get<bool>())
                                                    : std::nullopt;
}
void read_lenient(const Json::Value& object, const char* key, std::optional<int>& field) {
    const Json::Value* value = Json::find(object, key);
    field = value != nullptr && value->is_number_integer()
                ? std::optional<int>(Json::as_int(*value))
                : std::nullopt;
}

}  // namespace

void Sensor_Impl::read(const Json::Value& sensor) {
    read_field(sensor, "name", m_name);
    read_field(sensor, "type", m_type);
    read_field(sensor, "modelid", m_modelid);
    read_field(sensor, "swversion", m_swversion);
    const Json::Value* state = Json::find(sensor, "state");
    if (state != nullptr && state->is_object()) m_state = *state;
    if (const Json::Value* config = Json::find(sensor, "config")) {
        read_lenient(*config, "on", m_config.on);
        read_lenient(*config, "battery", m_config.battery);
        read_lenient(*config, "reachable", m_config.reachable);
    }
}

}  // namespace details

Sensor::Sensor(std::shared_ptr<details::Sensor_Impl> impl) : m_impl(std::move(impl)) {}

std::string Sensor::id() const { return m_impl->id(); }
std::string Sensor::name() const { return m_impl->name(); }
std::string Sensor::type() const { return m_impl->type(); }
std::string Sensor::modelid() const { return m_impl->modelid(); }
std::string Sensor::swversion() const { return m_impl->swversion(); }
Json::Value Sensor::state() const { return m_impl->state(); }
SensorConfig Sensor::config() const { return m_impl->config(); }

void Sensor::save_on(bool on) {
    Json::Value body = Json::Value::object();
    body["on"] = on;
    details::send(m_impl->client(), details::kSave, m_impl->path() + "/config", body);
}

void Sensor::refresh() { details::refresh(*m_impl, details::kRefreshSensor, m_impl->path()); }

Sensors Sensors::from_json(const Client& client, const Json::Value& object) {
    return details::read_items<Sensors, Sensor, details::Sensor_Impl>(client, object);
}

}  // namespace Hue
