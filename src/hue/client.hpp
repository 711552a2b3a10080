#ifndef GLOWRIG_HUE_CLIENT_HPP_
#define GLOWRIG_HUE_CLIENT_HPP_

#include <chrono>
#include <memory>
#include <string>

#include <cpprest/base_uri.h>
#include <cpprest/details/web_utilities.h>
#include <cpprest/json.h>
#include <pplx/pplxtasks.h>

namespace web {
namespace http {
class http_response;
namespace client {
class http_client;
}  // namespace client
}  // namespace http
}  // namespace web

namespace Hue {

enum class Method { Get, Put, Post, Delete };

// How every HTTP client of the program is configured: the proxy setting (on
// Linux the REST library's client ignores it and goes direct) and the time
// one request may take.
struct ClientConfig {
    web::web_proxy proxy{web::web_proxy::use_auto_discovery};
    std::chrono::milliseconds timeout{30000};
};

// An HTTP client bound to one resource URL of a bridge. Requests go to paths
// relative to that URL. Copies share one underlying client of the REST library.
// The library's defaults apply (30 s time-out, redirects followed), with the
// proxy setting and request time-out the client was made with.
class Client {
public:
    // A placeholder bound to http://127.0.0.1/; nothing is ever sent through it.
    Client();

    // A client for `base` (http://host/path) with a copy of `client_config`.
    Client(const web::uri& base, const ClientConfig& client_config);

    // The URL requests are relative to.
    web::uri base_uri() const;

    // A client for http://{this client's host and port}/{path}, with the same
    // configuration.
    Client with_path(const std::string& path) const;

    // Sends one request to `path` (relative to the base URL; empty for the
    // base itself), with `body` as JSON unless it is null, and yields the
    // reply passed through read_json. Throws web::uri_exception at once when
    // the path does not form a URL.
    pplx::task<web::json::value> read(Method method, const std::string& path = std::string(),
                                      const web::json::value& body = web::json::value()) const;

    // As read, followed by reject_errors.
    pplx::task<web::json::value> read_strict(
        Method method, const std::string& path = std::string(),
        const web::json::value& body = web::json::value()) const;

private:
    std::shared_ptr<web::http::client::http_client> m_client;
};

// Returns http://{host}:{port}/{path}, without ":{port}" for port 80; `host`
// is used as it is (an IPv6 address must come bracketed), `path` is not
// percent-encoded. Throws web::uri_exception when the text is not a URI or
// when `host` is not all of the URI's host (it holds '/', '?', '@', ...).
web::uri http_url(const std::string& host, const std::string& path, unsigned short port = 80);

// Reply step: fails with web::http::http_exception "HTTP <code> <reason>"
// unless the status is 200, without reading the body; otherwise yields the
// body read as UTF-8 JSON whatever its content type says. A body longer than
// 4 MiB fails with http_exception "Error: the reply is larger than 4 MiB."
// as soon as that much has arrived, before anything is parsed.
pplx::task<web::json::value> read_json(const web::http::http_response& reply);

// Reply step: yields the value unchanged unless it is an array holding an
// object with the key "error"; then fails with std::runtime_error whose
// message is that whole element serialised (UTF-8). Objects are never inspected.
web::json::value reject_errors(pplx::task<web::json::value> json);

// Returns `id` encoded as one URL path segment: '/', '?', '#', '%', blanks and
// other characters outside the unreserved and sub-delimiter sets are
// percent-encoded, and a segment "." or ".." has its dots encoded, so an id
// can never name another resource.
std::string path_segment(const std::string& id);

// An already completed task, for write-backs that have nothing to send.
pplx::task<void> nothing_to_send();

}  // namespace Hue

#endif  // GLOWRIG_HUE_CLIENT_HPP_
