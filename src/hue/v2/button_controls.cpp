#include "hue/v2/button_controls.hpp"

#include "http/exchange.hpp"
#include "hue/v2/resources.hpp"
#include "json/parse.hpp"

namespace Hue::V2 {

ButtonControls button_controls(const Json::Value& data) {
    ButtonControls controls;
    if (!data.is_array()) return controls;
    for (const Json::Value& service : data) {
        const Json::Value* id = Json::find(service, "id");
        const Json::Value* metadata = Json::find(service, "metadata");
        const Json::Value* control =
            metadata != nullptr ? Json::find(*metadata, "control_id") : nullptr;
        if (id == nullptr || !id->is_string() || control == nullptr ||
            !Json::is_integer(*control)) {
            continue;
        }
        controls.emplace(id->get<std::string>(), Json::as_int64(*control));
    }
    return controls;
}

ButtonControls read_button_controls(const Client& client, const std::string& key) {
    Http::Endpoint at = client.base();
    at.target = "/clip/v2/resource/button";
    Http::Options options = client.options();
    options.fields.emplace_back(kKeyField, key);
    const Json::Value reply =
        Json::parse(Http::exchange(at, Http::Method::Get, "", options), "the button listing");
    const Json::Value* data = Json::find(reply, "data");
    return data != nullptr ? button_controls(*data) : ButtonControls();
}

}  // namespace Hue::V2
