#include "hue/v2/resource_change.hpp"

#include <stdexcept>

#include "hue/client.hpp"
#include "hue/pacing.hpp"
#include "hue/v2/resources.hpp"
#include "json/parse.hpp"
#include "json/text.hpp"
#include "util/printable.hpp"

namespace Hue::V2 {
namespace {

// The envelope `body` holds, checked: {"errors": [...], "data": [...]}.
Json::Value envelope(const std::string& body, const char* what) {
    Json::Value reply = Json::parse(body, what);
    const Json::Value* data = Json::find(reply, "data");
    const Json::Value* errors = Json::find(reply, "errors");
    if (data == nullptr || !data->is_array() || errors == nullptr || !errors->is_array()) {
        throw std::runtime_error(std::string("Error: ") + what + " is not a listing.");
    }
    return reply;
}

}  // namespace

Json::Value read_resources(const Bridge& bridge, const std::string& key, const std::string& type,
                           const Http::Options& options) {
    const std::string body =
        Http::exchange(at(bridge, "/clip/v2/resource/" + type), Http::Method::Get, "",
                       key_options(bridge, key, options));
    return envelope(body, "the resource listing").at("data");
}

const Json::Value* resource_for(const Json::Value& resources, const std::string& id_v1) {
    for (const auto& resource : resources) {
        const Json::Value* path = Json::find(resource, "id_v1");
        if (path != nullptr && path->is_string() && path->get_ref<const std::string&>() == id_v1 &&
            Json::find(resource, "id") != nullptr && Json::at(resource, "id").is_string()) {
            return &resource;
        }
    }
    return nullptr;
}

void change_resource(const Bridge& bridge, const std::string& key, const std::string& type,
                     const std::string& id, const Json::Value& body, const Http::Options& options) {
    std::string reply;
    const auto send = [&] {
        reply =
            Http::exchange(at(bridge, "/clip/v2/resource/" + type + "/" + path_segment(id)),
                           Http::Method::Put, Json::text(body), key_options(bridge, key, options));
    };
    // A light's change is a light command; a group's, a group command.
    if (type == "light" || type == "grouped_light") {
        paced(bridge.endpoint().host, type == "light" ? Command::light : Command::group, send);
    } else {
        send();
    }
    const Json::Value answer = envelope(reply, "the change's reply");
    for (const auto& error : answer.at("errors")) {
        const Json::Value* description = Json::find(error, "description");
        throw std::runtime_error("Error: the bridge refused the change: " +
                                 Util::printable(description != nullptr && description->is_string()
                                                     ? description->get_ref<const std::string&>()
                                                     : Json::text(error)) +
                                 ".");
    }
}

}  // namespace Hue::V2
