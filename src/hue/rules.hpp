#ifndef GLOWRIG_HUE_RULES_HPP_
#define GLOWRIG_HUE_RULES_HPP_

#include <memory>
#include <string>

#include "hue/client.hpp"
#include "hue/item_list.hpp"
#include "json/value_fwd.hpp"

namespace Hue {

namespace details {
class Rule_Impl;
}  // namespace details

// One rule of a bridge, as the whole-state reply reports it. Copies share one state.
class Rule {
public:
    // REQUIRES: impl is not null.
    explicit Rule(std::shared_ptr<details::Rule_Impl> impl);

    std::string id() const;
    std::string name() const;

private:
    std::shared_ptr<details::Rule_Impl> m_impl;  // never null
};

// The rules of a bridge, in key order, with the rules resource's client.
class Rules : public ItemList<Rule> {
public:
    using ItemList<Rule>::ItemList;

    // Builds the collection from an object keyed by rule id. Throws
    // Json::Error when a value has a wrong type.
    static Rules from_json(const Client& client, const Json::Value& object);
};

}  // namespace Hue

#endif  // GLOWRIG_HUE_RULES_HPP_
