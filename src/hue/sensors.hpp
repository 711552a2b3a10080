#ifndef GLOWRIG_HUE_SENSORS_HPP_
#define GLOWRIG_HUE_SENSORS_HPP_

#include <memory>
#include <optional>
#include <string>

#include "hue/client.hpp"
#include "hue/item_list.hpp"
#include "json/value_fwd.hpp"

namespace Hue {

namespace details {
class Sensor_Impl;
}  // namespace details

// What a sensor's "config" reports of it, each member when reported with its
// type: whether it is switched on, its battery in percent (absent also when
// null: no battery) and whether the bridge reaches it.
struct SensorConfig {
    std::optional<bool> on;
    std::optional<int> battery;
    std::optional<bool> reachable;
};

// One sensor of a bridge, as a listing or a read of it reports it. Copies
// share one state.
class Sensor {
public:
    // REQUIRES: impl is not null.
    explicit Sensor(std::shared_ptr<details::Sensor_Impl> impl);

    std::string id() const;
    std::string name() const;
    std::string type() const;
    std::string modelid() const;
    std::string swversion() const;
    // Its "state" object as the bridge reported it; empty when none was.
    Json::Value state() const;
    SensorConfig config() const;

    // PUT sensors/{id}/config {"on": on}; throws Hue::BridgeError when the
    // bridge refuses it. Changes nothing here: refresh() reads the result.
    void save_on(bool on);
    // GET sensors/{id}; reads the sensor again.
    void refresh();

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
