#include "hue/fullstate.hpp"

#include "hue/details/group_impl.hpp"
#include "hue/details/light_impl.hpp"
#include "hue/details/requests.hpp"
#include "hue/details/rule_impl.hpp"
#include "hue/details/scene_impl.hpp"
#include "hue/details/schedule_impl.hpp"
#include "hue/details/sensor_impl.hpp"
#include "json/parse.hpp"
#include "json/value.hpp"

namespace Hue {
namespace {

// Reads a whole state as the parser meets it: the items of each collection
// one by one, only the members their readers read; the configuration whole;
// nothing else of the root. Then checks and splits it as a tree of the whole
// state would be, in the same order, so the same failure comes first.
class StateReader {
public:
    StateReader(const Bridge& bridge, const Http::Options& options, const AppIdentity& identity)
        : m_bridge(bridge),
          m_options(options),
          m_identity(identity),
          m_rules(client("rules")),
          m_sensors(client("sensors")),
          m_scenes(client("scenes")),
          m_schedules(client("schedules")),
          m_groups(client("groups")),
          m_lights(client("lights")) {
        m_shape.members = {{"config"},
                           {"lights", &m_lights.shape()},
                           {"groups", &m_groups.shape()},
                           {"schedules", &m_schedules.shape()},
                           {"scenes", &m_scenes.shape()},
                           {"sensors", &m_sensors.shape()},
                           {"rules", &m_rules.shape()}};
    }

    const Json::Shape& shape() const { return m_shape; }

    // The state, from `root` as the parser built it in shape(). "rules",
    // "sensors" and "scenes" may be absent.
    FullState state(const Json::Value& root) {
        const Json::Value none = Json::Value::object();
        Rules rules = m_rules.list(optional_member(root, "rules", none));
        Sensors sensors = m_sensors.list(optional_member(root, "sensors", none));
        Scenes scenes = m_scenes.list(optional_member(root, "scenes", none));
        Schedules schedules = m_schedules.list(Json::at(root, "schedules"));
        Groups groups = m_groups.list(Json::at(root, "groups"));
        Lights lights = m_lights.list(Json::at(root, "lights"));
        const Json::Value& config = Json::at(root, "config");
        if (!config.is_object()) throw Json::Error("not an object");
        Configuration configuration = Configuration::from_json(client("config"), config);
        return FullState(configuration, lights, groups, schedules, scenes, sensors, rules);
    }

private:
    // The member `key` of `root`, or `none` when it has none.
    static const Json::Value& optional_member(const Json::Value& root, const char* key,
                                              const Json::Value& none) {
        const Json::Value* member = Json::find(root, key);
        return member != nullptr ? *member : none;
    }

    Client client(const char* resource) const {
        return m_bridge.make_client(m_identity, resource, m_options);
    }

    const Bridge& m_bridge;
    const Http::Options& m_options;
    const AppIdentity& m_identity;
    details::ItemReader<Rules, Rule, details::Rule_Impl> m_rules;
    details::ItemReader<Sensors, Sensor, details::Sensor_Impl> m_sensors;
    details::ItemReader<Scenes, Scene, details::Scene_Impl> m_scenes;
    details::ItemReader<Schedules, Schedule, details::Schedule_Impl> m_schedules;
    details::ItemReader<Groups, Group, details::Group_Impl> m_groups;
    details::ItemReader<Lights, Light, details::Light_Impl> m_lights;
    Json::Shape m_shape;
};

}  // namespace

FullState read_full_state(const Bridge& bridge, const Http::Options& options,
                          const AppIdentity& identity, const Json::Value& root) {
    StateReader reader(bridge, options, identity);
    return reader.state(Json::reshape(root, reader.shape()));
}

FullState read_full_state_reply(const Bridge& bridge, const Http::Options& options,
                                const AppIdentity& identity) {
    StateReader reader(bridge, options, identity);
    return reader.state(details::send_read(bridge.make_client(identity, "", options),
                                           details::kReadCollection, std::string(),
                                           reader.shape()));
}

}  // namespace Hue
