#include "hue/lights.hpp"

#include <utility>

#include "hue/details/light_impl.hpp"
#include "hue/details/requests.hpp"
#include "hue/pacing.hpp"

namespace Hue {
namespace {

// The one table of mode texts, used for reading "colormode" and for printing.
struct ModeText {
    ColorMode mode;
    const char* text;
};
constexpr ModeText kModeTexts[] = {
    {ColorMode::hs, "hs"},
    {ColorMode::xy, "xy"},
    {ColorMode::ct, "ct"},
    {ColorMode::invalid, "invalid"},
};

}  // namespace

ColorMode color_mode_from_text(const std::string& text) {
    for (const auto& entry : kModeTexts) {
        if (text == entry.text) return entry.mode;
    }
    return ColorMode::invalid;
}

std::string color_mode_text(ColorMode mode) {
    for (const auto& entry : kModeTexts) {
        if (mode == entry.mode) return entry.text;
    }
    return "invalid";
}

Light::Light(std::shared_ptr<details::Light_Impl> impl) : m_impl(std::move(impl)) {}

std::string Light::id() const { return m_impl->id(); }
std::string Light::name() const { return m_impl->name(); }
std::string Light::modelid() const { return m_impl->modelid(); }
std::string Light::swversion() const { return m_impl->swversion(); }
std::optional<std::string> Light::type() const { return m_impl->type(); }
std::optional<std::string> Light::productname() const { return m_impl->productname(); }
std::optional<LightCapabilities> Light::capabilities() const { return m_impl->capabilities(); }
LightState Light::state() const { return m_impl->state(); }

void Light::set_name(const std::string& name) { m_impl->set_name(name); }
bool Light::whole() const { return m_impl->whole(); }

std::uint32_t Light::reported_fields() const { return m_impl->state_keys(); }

void Light::set_state(const LightState& desired, std::uint32_t always) {
    m_impl->set_desired(desired, always);
}

void Light::refresh() { details::refresh(*m_impl, details::kRefreshLight, m_impl->path()); }

void Light::save_name() {
    details::send(m_impl->client(), details::kSave, m_impl->path(), m_impl->name_body());
}

bool Light::save_state(std::uint16_t transitiontime) {
    const Json::Value body = m_impl->state_body(transitiontime);
    if (body.is_null()) return false;
    paced(m_impl->client(), Command::light, [&] {
        details::send(m_impl->client(), details::kSave, m_impl->path() + "/state", body);
    });
    return true;
}

Lights Lights::from_json(const Client& client, const Json::Value& object) {
    // The listing of new lights carries the time of the last search beside
    // them (Light_Impl::kNotAnItem).
    return details::read_items<Lights, Light, details::Light_Impl>(client, object);
}

void Lights::search() const { details::send(client(), details::kCreate); }

}  // namespace Hue
