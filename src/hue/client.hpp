#ifndef GLOWRIG_HUE_CLIENT_HPP_
#define GLOWRIG_HUE_CLIENT_HPP_

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include <cpprest/base_uri.h>
#include <cpprest/details/web_utilities.h>
#include <cpprest/json.h>
#include <pplx/pplxtasks.h>

#include "http/exchange.hpp"

namespace Hue {

enum class Method { Get, Put, Post, Delete };

// How every HTTP client of the program is configured: the proxy setting (kept
// for the configuration's sake; requests always go direct) and the time one
// request may take, from its start to its last byte.
struct ClientConfig {
    web::web_proxy proxy{web::web_proxy::use_auto_discovery};
    std::chrono::milliseconds timeout{30000};
    // Over TLS: a PEM file of authorities the bridge's chain must lead to
    // (empty: no chain check), and the check of its certificate made before
    // every request is written (empty: none).
    std::string ca_file;
    Http::CertificateCheck check_certificate;
};

// An HTTP/1.1 client bound to one resource URL of a bridge,
// plain or over TLS. Requests go to paths relative to that URL through
// Http::exchange(): one kept connection per peer, one deadline per exchange,
// 64 KiB of header and 4 MiB of body at most, refusals (429, 503) sent again,
// redirects a failure like any status but 200. The host must be numeric (an
// IPv6 address in brackets); a name is never resolved and fails the request.
class Client {
public:
    // A placeholder bound to http://127.0.0.1/; nothing is ever sent through it.
    Client();

    // A client for `base` (http[s]://host/path) with a copy of `client_config`.
    Client(const web::uri& base, const ClientConfig& client_config);

    // The URL requests are relative to.
    web::uri base_uri() const;

    // A client for {this client's scheme, host and port}/{path}, with the same
    // configuration.
    Client with_path(const std::string& path) const;

    // Sends one request to `path` (relative to the base URL; empty for the
    // base itself), with `body` as JSON unless it is null, and yields the
    // reply passed through read_json. Throws web::uri_exception at once when
    // the path does not form a URL. Fails with Http::Failure: "HTTP <code>
    // <reason>" (no reason when the reply has none) unless the status is 200,
    // without reading the body; "Error: the reply is larger than 4 MiB." as
    // soon as that much body has arrived or been announced; the transport's
    // own texts when the connection, the time-out or the header fails; the
    // check's text when it refuses the bridge's certificate.
    // A `check`, when given, sees the reply in the same step and fails the
    // request by throwing: each further step of a chain copies the reply whole.
    pplx::task<web::json::value> read(
        Method method, const std::string& path = std::string(),
        const web::json::value& body = web::json::value(),
        std::function<void(const web::json::value&)> check = nullptr) const;

    // As read, but `use` takes the reply in the reading step and the task
    // yields nothing. The task of read holds the reply, and each step it is
    // passed on to copies it whole twice: a bridge's whole state is hundreds
    // of kilobytes of small values.
    pplx::task<void> read_into(Method method, const std::string& path,
                               std::function<void(const web::json::value&)> use) const;

    // As read with the check check_errors (what reject_errors does).
    pplx::task<web::json::value> read_strict(
        Method method, const std::string& path = std::string(),
        const web::json::value& body = web::json::value()) const;

private:
    web::uri m_base;
    ClientConfig m_config;
};

// Returns {scheme}://{host}:{port}/{path}, without ":{port}" for the scheme's
// default port; `host` is used as it is (an IPv6 address must come bracketed),
// `path` is not percent-encoded. Throws web::uri_exception when the text is
// not a URI or when `host` is not all of the URI's host (it holds '/', '?',
// '@', ...).
web::uri http_url(const std::string& host, const std::string& path, unsigned short port = 80,
                  Http::Scheme scheme = Http::Scheme::Http);

// Reply step: yields the body of a 200 reply read as UTF-8 JSON whatever its
// content type says; fails with web::json::json_exception when it is not JSON.
web::json::value read_json(const std::string& body);

// Reply step: yields the value unchanged unless it is an array holding an
// object with the key "error"; then fails with Hue::BridgeError whose
// message is that whole element serialised (UTF-8). Objects are never inspected.
web::json::value reject_errors(pplx::task<web::json::value> json);

// Fails as reject_errors does; returns when the value passes.
void check_errors(const web::json::value& json);

// Throws the Hue::BridgeError of `element`, an object holding "error".
[[noreturn]] void throw_bridge_error(const web::json::value& element);

// Returns `id` encoded as one URL path segment: '/', '?', '#', '%', blanks and
// other characters outside the unreserved and sub-delimiter sets are
// percent-encoded, and a segment "." or ".." has its dots encoded, so an id
// can never name another resource.
std::string path_segment(const std::string& id);

// An already completed task, for write-backs that have nothing to send.
pplx::task<void> nothing_to_send();

}  // namespace Hue

#endif  // GLOWRIG_HUE_CLIENT_HPP_
