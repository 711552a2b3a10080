#include "hue/rules.hpp"

#include "hue/details/rule_impl.hpp"

namespace Hue {

Rule::Rule(std::shared_ptr<details::Rule_Impl> impl) : m_impl(std::move(impl)) {}

std::string Rule::id() const { return m_impl->id(); }
std::string Rule::name() const { return m_impl->name(); }

Rules Rules::from_json(const Client& client, const Json::Value& object) {
    return details::read_items<Rules, Rule, details::Rule_Impl>(client, object);
}

}  // namespace Hue
