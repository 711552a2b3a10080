#include "hue/details/requests.hpp"

#include <functional>
#include <stdexcept>

namespace Hue {
namespace details {
namespace {

// Yields the reply unchanged when it is an array; otherwise fails with the
// JSON library's error.
web::json::value require_array(const web::json::value& reply) {
    reply.as_array();
    return reply;
}

// True when `element` is an error element of type 7 (invalid value) for
// "/username".
bool refuses_requested_name(const web::json::value& element) {
    if (!element.is_object() || !element.has_field("error")) return false;
    const web::json::value& error = element.at("error");
    return error.is_object() && error.has_field("type") && error.at("type").is_integer() &&
           error.at("type").as_integer() == 7 && error.has_field("address") &&
           error.at("address").is_string() && error.at("address").as_string() == "/username";
}

// As reject_errors on an array, except that beside a granted user name the
// refusals of the requested name pass.
web::json::value accept_grant(pplx::task<web::json::value> task) {
    web::json::value reply = task.get();
    const bool granted = granted_user_name(reply).has_value();
    for (const auto& element : reply.as_array()) {
        if (element.is_object() && element.has_field("error") &&
            !(granted && refuses_requested_name(element))) {
            throw_bridge_error(element);
        }
    }
    return reply;
}

// Fails, as reject_errors does for an error element, when the reply to a
// write is one object holding "error": a bridge may answer a write that way,
// and it is a refusal, never a success. Reads are left alone: a listing may
// name an item "error".
void check_error_object(const web::json::value& reply) {
    if (reply.is_object() && reply.has_field("error")) {
        throw_bridge_error(reply);
    }
}

// check_error_object, then check_errors.
void check_write_reply(const web::json::value& reply) {
    check_error_object(reply);
    check_errors(reply);
}

// The check of a strict or unchecked request's reply step, run in the reading
// step itself: a step more would copy the whole reply twice, and a bridge's
// state is hundreds of kilobytes. None for an unchecked request.
std::function<void(const web::json::value&)> check_of(Request request) {
    if (request.reply != Reply::Strict) return nullptr;
    if (request.method != Method::Get) return check_write_reply;
    return check_errors;
}

}  // namespace

std::optional<std::string> granted_user_name(const web::json::value& reply) {
    if (!reply.is_array()) return std::nullopt;
    for (const auto& element : reply.as_array()) {
        if (!element.is_object() || !element.has_field("success")) continue;
        const web::json::value& success = element.at("success");
        if (!success.is_object() || !success.has_field("username")) continue;
        const web::json::value& name = success.at("username");
        if (name.is_string() && !name.as_string().empty()) return name.as_string();
    }
    return std::nullopt;
}

pplx::task<web::json::value> send_request(const Client& client, Request request,
                                          const std::string& path, const web::json::value& body) {
    if (request.reply == Reply::UserGrant) {
        return client.read(request.method, path, body).then(require_array).then(accept_grant);
    }
    return client.read(request.method, path, body, check_of(request));
}

pplx::task<void> read_into(const Client& client, Request request, const std::string& path,
                           std::function<void(const web::json::value&)> use) {
    return client.read_into(
        request.method, path,
        [check = check_of(request), use = std::move(use)](const web::json::value& reply) {
            if (check) check(reply);
            use(reply);
        });
}

pplx::task<void> send(const Client& client, Request request, const std::string& path,
                      const web::json::value& body) {
    return send_request(client, request, path, body).then([](const web::json::value&) {});
}

pplx::task<void> send_change(const Client& client, Request request, const std::string& path,
                             const web::json::value& body) {
    if (body.is_null()) return nothing_to_send();
    return send(client, request, path, body);
}

}  // namespace details
}  // namespace Hue
