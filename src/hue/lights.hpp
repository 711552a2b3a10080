#ifndef GLOWRIG_HUE_LIGHTS_HPP_
#define GLOWRIG_HUE_LIGHTS_HPP_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hue/client.hpp"
#include "hue/item_list.hpp"
#include "json/value_fwd.hpp"
#include "util/colour.hpp"

namespace Hue {

namespace details {
class Light_Impl;
}  // namespace details

// The colour mode a light reports. Every lookup yields one of these four.
enum class ColorMode : std::uint8_t { hs = 0, xy = 1, ct = 2, invalid = 3 };

// Returns the mode whose text is exactly `text` (case-sensitive), else invalid.
ColorMode color_mode_from_text(const std::string& text);

// Returns "hs", "xy", "ct" or "invalid".
std::string color_mode_text(ColorMode mode);

// Bits naming the fields a light's state and a group's action share: which
// keys a group's action object held (GroupAction::flags), and which fields a
// change sends whatever the bridge reports (Light::set_state,
// Group::set_action).
struct LightField {
    enum : std::uint32_t {
        effect = 0x001,
        alert = 0x002,
        colormode = 0x004,
        xy = 0x008,  // x and y together
        ct = 0x010,
        hue = 0x020,
        sat = 0x040,
        bri = 0x080,
        on = 0x100,
    };
};

// The fields a light's state and a group's action share, as reported or as
// wanted. A plain value record.
struct LightFields {
    std::string effect = "none";
    std::string alert = "none";
    ColorMode colormode = ColorMode::invalid;
    float x = 0;
    float y = 0;
    std::uint16_t ct = 0;
    std::uint16_t hue = 0;
    std::uint8_t sat = 0;
    std::uint8_t bri = 0;
    bool on = false;
    // Of a change only, never reported: the steps by which it changes "bri"
    // and "ct" (sent as "bri_inc" and "ct_inc"); 0: none.
    int bri_inc = 0;
    int ct_inc = 0;
};

// The state of one light, as reported or as wanted. A plain value record.
struct LightState : LightFields {
    bool reachable = false;
};

// The range of colour temperatures a light shows, in mired.
struct MiredRange {
    std::uint16_t min = 0;
    std::uint16_t max = 0;
};

// What a light reports it can show ("capabilities": {"control": ...}): its
// colour triangle ("colorgamut", the red, green and blue corners) and its
// colour temperature range ("ct": {"min", "max"}), each absent when not
// reported in that shape.
struct LightCapabilities {
    std::optional<Util::Gamut> gamut;
    std::optional<MiredRange> ct;
};

// One light of a bridge. Copies share one state: a change made through one
// copy is seen by all. Not safe for concurrent use.
class Light {
public:
    // REQUIRES: impl is not null.
    explicit Light(std::shared_ptr<details::Light_Impl> impl);

    std::string id() const;
    std::string name() const;
    std::string modelid() const;
    std::string swversion() const;
    // "type" ("Extended color light") and "productname", when reported.
    std::optional<std::string> type() const;
    std::optional<std::string> productname() const;
    // What the light can show, when it reported "capabilities".
    std::optional<LightCapabilities> capabilities() const;

    // The state the bridge last reported.
    LightState state() const;

    // Replaces the stored name; sends nothing.
    void set_name(const std::string& name);

    // True once an object read into this light held its "state": the light is
    // known whole (a listing of current firmware gives every light so) and
    // need not be read again before it is changed or printed. False while
    // only its name is known, as from the listings of old firmware.
    bool whole() const;

    // The LightField bits of the keys the state object last read held (a
    // light without colour reports no "effect"); 0 until one was read.
    std::uint32_t reported_fields() const;

    // Replaces the desired state; sends nothing. The LightField bits of
    // `always` name fields that save_state sends even when the light already
    // reports them (an alert is an event, not a state).
    void set_state(const LightState& desired, std::uint32_t always = 0);

    // GET lights/{id}; reads the reply into this light. The desired state
    // becomes the reported one, so unsent changes are lost. Fails with the
    // reply step's error, or with a JSON type error (fields read before it
    // keep their new values).
    void refresh();

    // PUT lights/{id} with {"name": stored name}, always.
    void save_name();

    // PUT lights/{id}/state with the fields in which the desired state differs
    // from the reported one and those set_state named always, plus
    // "transitiontime" when `transitiontime` (tenths of a second) is not 0.
    // Sends nothing when there is no such field, and returns whether it sent
    // a change. The reported state is not updated from the reply.
    bool save_state(std::uint16_t transitiontime);

private:
    std::shared_ptr<details::Light_Impl> m_impl;  // never null
};

// An ordered list of lights plus a copy of the lights resource's client. A
// default-constructed one is empty and holds the placeholder client; nothing
// is ever sent through it.
class Lights : public ItemList<Light> {
public:
    using ItemList<Light>::ItemList;

    // Builds the collection from a JSON object keyed by light id, in key
    // order, skipping the member "lastscan". Throws Json::Error ("not an
    // object") when `object` or one of its other members is not an object,
    // and when a value has a wrong type.
    static Lights from_json(const Client& client, const Json::Value& object);

    // POST lights with no body: the bridge starts searching for new lights.
    // The reply passes the strict reply step and is discarded.
    void search() const;
};

}  // namespace Hue

#endif  // GLOWRIG_HUE_LIGHTS_HPP_
