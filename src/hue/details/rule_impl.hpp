#ifndef GLOWRIG_HUE_DETAILS_RULE_IMPL_HPP_
#define GLOWRIG_HUE_DETAILS_RULE_IMPL_HPP_

#include <string>

#include "hue/details/resource_impl.hpp"

namespace Hue {
namespace details {

// The state behind a Rule handle.
class Rule_Impl : public Resource_Impl {
public:
    using Resource_Impl::Resource_Impl;

    const std::string& name() const { return m_name; }

    // Reads "name" where present. Throws Json::Error when it is
    // not a string.
    void read(const Json::Value& rule) { read_field(rule, "name", m_name); }
    // The members read() reads.
    static constexpr std::string_view kRead[] = {"name"};

private:
    std::string m_name;
};

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_RULE_IMPL_HPP_
