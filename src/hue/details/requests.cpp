#include "hue/details/requests.hpp"

#include "json/text.hpp"

namespace Hue {
namespace details {
namespace {

// True when `element` is an error element of type 7 (invalid value) for
// "/username".
bool refuses_requested_name(const Json::Value& element) {
    const Json::Value* error = Json::find(element, "error");
    if (error == nullptr) return false;
    const Json::Value* type = Json::find(*error, "type");
    const Json::Value* address = Json::find(*error, "address");
    return type != nullptr && Json::is_integer(*type) && Json::as_int(*type) == 7 &&
           address != nullptr && address->is_string() && Json::as_string(*address) == "/username";
}

// Reply step of a user creation: the reply must be an array (else the JSON
// reader's "not an array"); then as reject_errors, except that beside a
// granted user name the refusals of the requested name pass.
Json::Value accept_grant(Json::Value reply) {
    const bool granted = granted_user_name(reply).has_value();
    for (const auto& element : Json::as_array(reply)) {
        if (Json::has(element, "error") && !(granted && refuses_requested_name(element))) {
            throw_bridge_error(element);
        }
    }
    return reply;
}

// Fails, as reject_errors does for an error element, when the reply to a
// write is one object holding "error": a bridge may answer a write that way,
// and it is a refusal, never a success. Reads are left alone: a listing may
// name an item "error".
Json::Value reject_error_object(Json::Value reply) {
    if (Json::has(reply, "error")) throw_bridge_error(reply);
    return reply;
}

// The reply `text` to `request`, built as `shape` says (all of it when
// null), after the request's reply step.
Json::Value reply_of(Request request, const std::string& text, const Json::Shape* shape = nullptr) {
    auto read = [&] {
        return shape != nullptr ? Json::parse_shaped(text, *shape) : read_json(text);
    };
    switch (request.reply) {
        case Reply::Unchecked:
            return read();
        case Reply::UserGrant:
            return accept_grant(read());
        case Reply::Strict:
            break;
    }
    if (request.method == Http::Method::Get) return reject_errors(read());
    return reject_errors(reject_error_object(read()));
}

}  // namespace

std::optional<std::string> granted_user_name(const Json::Value& reply) {
    if (!reply.is_array()) return std::nullopt;
    for (const auto& element : Json::as_array(reply)) {
        const Json::Value* success = Json::find(element, "success");
        const Json::Value* name = success ? Json::find(*success, "username") : nullptr;
        if (name != nullptr && name->is_string() && !Json::as_string(*name).empty()) {
            return Json::as_string(*name);
        }
    }
    return std::nullopt;
}

Json::Value send_request(const Client& client, Request request, const std::string& path,
                         const Json::Value& body) {
    const std::string text = body.is_null() ? std::string() : Json::text(body);
    return reply_of(request, client.send(request.method, path, text));
}

Json::Value send_read(const Client& client, Request request, const std::string& path,
                      const Json::Shape& shape) {
    return reply_of(request, client.send(request.method, path, std::string()), &shape);
}

void send(const Client& client, Request request, const std::string& path, const Json::Value& body) {
    send_request(client, request, path, body);
}

void send_change(const Client& client, Request request, const std::string& path,
                 const Json::Value& body) {
    if (body.is_null()) return;
    send(client, request, path, body);
}

}  // namespace details
}  // namespace Hue
