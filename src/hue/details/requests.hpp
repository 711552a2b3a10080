#ifndef GLOWRIG_HUE_DETAILS_REQUESTS_HPP_
#define GLOWRIG_HUE_DETAILS_REQUESTS_HPP_

#include <optional>
#include <string>

#include "hue/client.hpp"
#include "json/parse.hpp"
#include "json/value.hpp"

namespace Hue {
namespace details {

// The step a reply passes before a resource uses it.
enum class Reply {
    Strict,     // read_json_strict; a write also fails on an error object
    Unchecked,  // read_json only: an error array reaches the reader as it is
    UserGrant,  // read_json, then it must be an array, then reject_errors except
                // the "/username" refusals (type 7) beside a grant
};

// One kind of request a resource sends: its method and its reply step.
struct Request {
    Http::Method method;
    Reply reply;
};

// Every request of the resources with its reply step; the resources build
// paths and bodies. The rows that are not strict are deliberate:
// - the configuration is read and saved unchecked: an error array reads as a
//   configuration of defaults, and a refused setting shows at the next read;
// - groups and schedules refresh unchecked: an error array holds none of
//   their keys, so the resource stays as it was and the refresh succeeds;
// - creating a user fails with the JSON reader's error when the reply is not
//   an array, and with the error element's text when it holds one; but when a
//   success element grants a user name, error elements of type 7 for
//   "/username" only say that the requested name was refused in its favour,
//   and do not fail it.
constexpr Request kReadCollection{Http::Method::Get,
                                  Reply::Strict};  // {api}, lights, lights/new, ...
constexpr Request kReadConfiguration{Http::Method::Get, Reply::Unchecked};  // config
constexpr Request kSaveConfiguration{Http::Method::Put, Reply::Unchecked};  // config
constexpr Request kCreateUser{Http::Method::Post, Reply::UserGrant};        // http://{ip}/api
constexpr Request kDeleteUser{Http::Method::Delete, Reply::Strict};       // config/whitelist/{user}
constexpr Request kRefreshLight{Http::Method::Get, Reply::Strict};        // lights/{id}
constexpr Request kRefreshGroup{Http::Method::Get, Reply::Unchecked};     // groups/{id}
constexpr Request kRefreshSchedule{Http::Method::Get, Reply::Unchecked};  // schedules/{id}
constexpr Request kRefreshSensor{Http::Method::Get, Reply::Strict};       // sensors/{id}
constexpr Request kSave{Http::Method::Put,
                        Reply::Strict};  // a light, group, schedule, state, action, config
constexpr Request kCreate{Http::Method::Post, Reply::Strict};    // lights (a search), groups
constexpr Request kRemove{Http::Method::Delete, Reply::Strict};  // groups/{id}, schedules/{id}

// The user name granted by a reply to a user creation: the "username" of the
// first success element that holds a non-empty text there; nullopt when none
// does.
std::optional<std::string> granted_user_name(const Json::Value& reply);

// Sends `request` to `path` of `client` with `body` (none when null) and
// returns the reply after its reply step.
Json::Value send_request(const Client& client, Request request,
                         const std::string& path = std::string(),
                         const Json::Value& body = Json::Value());

// As send_request without a body, building of the reply only what `shape`
// says (Json::parse_shaped) before its reply step.
Json::Value send_read(const Client& client, Request request, const std::string& path,
                      const Json::Shape& shape);

// As send_request; the reply is dropped once it has passed its step.
void send(const Client& client, Request request, const std::string& path = std::string(),
          const Json::Value& body = Json::Value());

// As send, but a null `body` means there is nothing to change: nothing is
// sent then.
void send_change(const Client& client, Request request, const std::string& path,
                 const Json::Value& body);

// Sends the read `request` to `path` of impl.client() and reads the reply,
// after its reply step, into the state with impl.read().
template <class Impl>
void refresh(Impl& impl, Request request, const std::string& path) {
    impl.read(send_request(impl.client(), request, path));
}

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_REQUESTS_HPP_
