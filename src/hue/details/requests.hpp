#ifndef GLOWRIG_HUE_DETAILS_REQUESTS_HPP_
#define GLOWRIG_HUE_DETAILS_REQUESTS_HPP_

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <cpprest/json.h>
#include <pplx/pplxtasks.h>

#include "hue/client.hpp"

namespace Hue {
namespace details {

// The step a reply passes before a resource uses it.
enum class Reply {
    Strict,     // read_json, then reject_errors; a write also fails on an error object
    Unchecked,  // read_json only: an error array reaches the reader as it is
    UserGrant,  // read_json, then it must be an array, then reject_errors except
                // the "/username" refusals (type 7) beside a grant
};

// One kind of request a resource sends: its method and its reply step.
struct Request {
    Method method;
    Reply reply;
};

// Every request of the resources with its reply step; the resources build
// paths and bodies. The rows that are not strict are deliberate:
// - the configuration is read and saved unchecked: an error array reads as a
//   configuration of defaults, and a refused setting shows at the next read;
// - groups and schedules refresh unchecked: an error array holds none of
//   their keys, so the resource stays as it was and the refresh succeeds;
// - creating a user fails with the JSON library's error when the reply is not
//   an array, and with the error element's text when it holds one; but when a
//   success element grants a user name, error elements of type 7 for
//   "/username" only say that the requested name was refused in its favour,
//   and do not fail it.
constexpr Request kReadCollection{Method::Get, Reply::Strict};  // {api}, lights, lights/new, ...
constexpr Request kReadConfiguration{Method::Get, Reply::Unchecked};  // config
constexpr Request kSaveConfiguration{Method::Put, Reply::Unchecked};  // config
constexpr Request kCreateUser{Method::Post, Reply::UserGrant};        // http://{ip}/api
constexpr Request kDeleteUser{Method::Delete, Reply::Strict};         // config/whitelist/{user}
constexpr Request kRefreshLight{Method::Get, Reply::Strict};          // lights/{id}
constexpr Request kRefreshGroup{Method::Get, Reply::Unchecked};       // groups/{id}
constexpr Request kRefreshSchedule{Method::Get, Reply::Unchecked};    // schedules/{id}
constexpr Request kSave{Method::Put, Reply::Strict};     // a light, group, schedule, state, action
constexpr Request kCreate{Method::Post, Reply::Strict};  // lights (a search), groups
constexpr Request kRemove{Method::Delete, Reply::Strict};  // groups/{id}, schedules/{id}

// The user name granted by a reply to a user creation: the "username" of the
// first success element that holds a non-empty text there; nullopt when none
// does.
std::optional<std::string> granted_user_name(const web::json::value& reply);

// Sends `request` to `path` of `client` with `body` (none when null) and
// yields the reply after its reply step.
pplx::task<web::json::value> send_request(const Client& client, Request request,
                                          const std::string& path = std::string(),
                                          const web::json::value& body = web::json::value());

// As send_request; the reply is dropped once it has passed its step.
pplx::task<void> send(const Client& client, Request request,
                      const std::string& path = std::string(),
                      const web::json::value& body = web::json::value());

// As send, but a null `body` means there is nothing to change: the task is
// then already complete and nothing is sent.
pplx::task<void> send_change(const Client& client, Request request, const std::string& path,
                             const web::json::value& body);

// Sends the read `request` (strict or unchecked) to `path` of `client` and
// gives `use` the reply after its reply step, in the reading step itself (see
// Client::read_into).
pplx::task<void> read_into(const Client& client, Request request, const std::string& path,
                           std::function<void(const web::json::value&)> use);

// As read_into, yielding `convert` of the reply.
template <class Result>
pplx::task<Result> read_as(const Client& client, Request request, const std::string& path,
                           std::function<Result(const web::json::value&)> convert) {
    auto result = std::make_shared<std::optional<Result>>();
    return read_into(client, request, path,
                     [result, convert = std::move(convert)](const web::json::value& reply) {
                         result->emplace(convert(reply));
                     })
        .then([result] { return std::move(**result); });
}

// Sends `request` to `path` of impl->client() and reads the reply into the
// state with impl->read(). The task holds `impl` until then.
template <class Impl>
pplx::task<void> refresh(const std::shared_ptr<Impl>& impl, Request request,
                         const std::string& path) {
    return read_into(impl->client(), request, path,
                     [impl](const web::json::value& json) { impl->read(json); });
}

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_REQUESTS_HPP_
