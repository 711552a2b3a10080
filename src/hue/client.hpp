#ifndef GLOWRIG_HUE_CLIENT_HPP_
#define GLOWRIG_HUE_CLIENT_HPP_

#include <string>

#include "http/endpoint.hpp"
#include "http/exchange.hpp"
#include "json/value_fwd.hpp"

namespace Hue {

// An HTTP/1.1 client bound to one resource URL of a bridge,
// plain or over TLS. Requests go to paths relative to that URL through
// Http::exchange(): one kept connection per peer, one deadline per exchange,
// 64 KiB of header and 4 MiB of body at most, refusals (429, 503) sent again,
// redirects a failure like any status but 200. The host must be numeric (an
// IPv6 address without brackets); a name is never resolved and fails the request.
class Client {
public:
    // A placeholder bound to http://127.0.0.1/; nothing is ever sent through it.
    Client();

    // A client for `base` whose exchanges take `options`: their time-out,
    // over TLS the authorities and the certificate check.
    Client(Http::Endpoint base, Http::Options options);

    // Where the requests' paths are relative to.
    const Http::Endpoint& base() const { return m_base; }

    // The options of this client's exchanges.
    const Http::Options& options() const { return m_options; }

    // A client for {this client's scheme, host and port}/{path}, with the same
    // configuration. Throws as resource_endpoint does.
    Client with_path(const std::string& path) const;

    // Sends one request to `path` (relative to the base URL, joined to it by
    // one '/'; empty for the base itself) with `body`, JSON text, unless it
    // is empty, and returns the body of the reply, whatever its content type.
    // Throws std::invalid_argument at once when the path does not form a URL
    // (see resource_endpoint). Fails with Http::Failure: "HTTP <code>
    // <reason>" (no reason when the reply has none) unless the status is 200,
    // without reading the body; "Error: the reply is larger than 4 MiB." as
    // soon as that much body has arrived or been announced; the transport's
    // own texts when the connection, the time-out or the header fails; the
    // check's text when it refuses the bridge's certificate. A plain request
    // redirected to https fails with the line that names --bridge=https://...
    std::string send(Http::Method method, const std::string& path = std::string(),
                     const std::string& body = std::string()) const;

private:
    Http::Endpoint m_base;
    Http::Options m_options;
};

// Returns the endpoint {scheme}://{host}:{port}/{path} of the peer `peer`
// (its target aside); `path` is taken as it is (not percent-encoded).
// Throws std::invalid_argument "provided uri is invalid: URL" when the path
// holds a character no URL path may hold unencoded (a blank, a non-ASCII
// byte, '[', '?', '#', ...): such a path would name another resource or none.
Http::Endpoint resource_endpoint(Http::Endpoint peer, const std::string& path);

// Reply step: returns the body of a 200 reply read as UTF-8 JSON whatever its
// content type says; fails with Json::ParseError ("Error: the bridge's reply
// is not JSON (line L, column C).") when it is not JSON.
Json::Value read_json(const std::string& body);

// Reply step: returns the value unchanged unless it is an array holding an
// object with the key "error"; then fails with Hue::BridgeError whose
// message is the first such element as JSON text. Objects are never inspected.
Json::Value reject_errors(Json::Value json);

// Reply step: read_json, then reject_errors.
Json::Value read_json_strict(const std::string& body);

// Throws the Hue::BridgeError of `element`, an object holding "error".
[[noreturn]] void throw_bridge_error(const Json::Value& element);

// Returns `id` encoded as one URL path segment: '/', '?', '#', '%', blanks and
// other characters outside the unreserved set are percent-encoded (upper-case
// hex, byte by byte), and a segment "." or ".." has its dots encoded, so an id
// can never name another resource.
std::string path_segment(const std::string& id);

}  // namespace Hue

#endif  // GLOWRIG_HUE_CLIENT_HPP_
