#ifndef GLOWRIG_HUE_SENSORS_HPP_
#define GLOWRIG_HUE_SENSORS_HPP_

#include <memory>
#include <string>

#include "hue/client.hpp"
#include "hue/item_list.hpp"
#include "json/value_fwd.hpp"

namespace Hue {

namespace details {
class Sensor_Impl;
}  // namespace details

// One sensor of a bridge, as the whole-state reply reports it. Copies share one state.
class Sensor {
public:
    // REQUIRES: impl is not null.
    explicit Sensor(std::shared_ptr<details::Sensor_Impl> impl);

    std::string id() const;
    std::string name() const;
    std::string type() const;
    std::string modelid() const;
    std::string swversion() const;

private:
    std::shared_ptr<details::Sensor_Impl> m_impl;  // never null
};

// The sensors of a bridge, in key order, with the sensors resource's client.
class Sensors : public ItemList<Sensor> {
public:
    using ItemList<Sensor>::ItemList;

    // Builds the collection from an object keyed by sensor id, skipping the
    // member "lastscan". Throws Json::Error when a value has a
    // wrong type.
    static Sensors from_json(const Client& client, const Json::Value& object);
};

}  // namespace Hue

#endif  // GLOWRIG_HUE_SENSORS_HPP_
