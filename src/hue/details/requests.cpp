#include "hue/details/requests.hpp"

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

// Fails, as reject_errors does for an error element, when the reply to a
// write is one object holding "error": a bridge may answer a write that way,
// and it is a refusal, never a success. Reads are left alone: a listing may
// name an item "error".
web::json::value reject_error_object(const web::json::value& reply) {
    if (reply.is_object() && reply.has_field("error")) {
        throw std::runtime_error(reply.serialize());
    }
    return reply;
}

}  // namespace

pplx::task<web::json::value> send_request(const Client& client, Request request,
                                          const std::string& path, const web::json::value& body) {
    pplx::task<web::json::value> reply = client.read(request.method, path, body);
    switch (request.reply) {
        case Reply::Unchecked:
            return reply;
        case Reply::UserArray:
            return reply.then(require_array).then(reject_errors);
        case Reply::Strict:
            break;
    }
    if (request.method != Method::Get) reply = reply.then(reject_error_object);
    return reply.then(reject_errors);
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
