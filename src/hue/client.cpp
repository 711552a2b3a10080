#include "hue/client.hpp"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <boost/algorithm/string/predicate.hpp>
#include <cpprest/http_client.h>

#include "hue/text.hpp"

namespace Hue {
namespace {

namespace http = web::http;

const http::method& method_name(Method method) {
    switch (method) {
        case Method::Put:
            return http::methods::PUT;
        case Method::Post:
            return http::methods::POST;
        case Method::Delete:
            return http::methods::DEL;
        case Method::Get:
            break;
    }
    return http::methods::GET;
}

// The largest reply body read. A bridge's whole state is far smaller; a
// larger body is refused before it is parsed, because a JSON tree takes many
// times the memory of its text.
constexpr std::size_t kMaxReplyBytes = 4 * 1024 * 1024;
constexpr std::size_t kReadChunk = 64 * 1024;

// Appends the rest of `body` to `text`, failing once it passes kMaxReplyBytes,
// so a reply that never ends cannot fill the memory either.
pplx::task<void> read_capped(concurrency::streams::istream body, std::shared_ptr<std::string> text,
                             std::shared_ptr<std::vector<std::uint8_t>> chunk) {
    return body.streambuf()
        .getn(chunk->data(), chunk->size())
        .then([body, text, chunk](std::size_t count) -> pplx::task<void> {
            if (count == 0) return pplx::task_from_result();
            if (text->size() + count > kMaxReplyBytes) {
                throw http::http_exception("Error: the reply is larger than 4 MiB.");
            }
            text->append(reinterpret_cast<const char*>(chunk->data()), count);
            return read_capped(body, text, chunk);
        });
}

http::client::http_client_config config_with(const ClientConfig& client_config) {
    http::client::http_client_config config;
    config.set_proxy(client_config.proxy);
    config.set_timeout(client_config.timeout);
    return config;
}

}  // namespace

Client::Client() : Client(web::uri("http://127.0.0.1/"), ClientConfig()) {}

Client::Client(const web::uri& base, const ClientConfig& client_config)
    : m_client(std::make_shared<http::client::http_client>(base, config_with(client_config))) {}

web::uri Client::base_uri() const { return m_client->base_uri(); }

Client Client::with_path(const std::string& path) const {
    Client other(*this);
    const web::uri base = m_client->base_uri();
    // A URI without a port reports port 0: the default port.
    const int port = base.port() > 0 ? base.port() : 80;
    other.m_client = std::make_shared<http::client::http_client>(
        http_url(base.host(), path, static_cast<unsigned short>(port)), m_client->client_config());
    return other;
}

web::uri http_url(const std::string& host, const std::string& path, unsigned short port) {
    web::uri_builder builder;
    builder.set_scheme("http").set_host(host).set_path(path);
    if (port != 80) builder.set_port(port);
    // Parsed again from its text: a built URI without a port reports port -1,
    // which the HTTP client cannot connect to; a parsed one means the default.
    const std::string text = builder.to_string();
    web::uri url(text);
    // A host text holding '/', '?', '#', '@' or ':' (a reported address such as
    // "127.0.0.9/x?") would turn into a path, query, user or port: refused.
    if (!boost::iequals(url.host(), host)) {
        throw web::uri_exception("provided uri is invalid: " + text);
    }
    return url;
}

pplx::task<web::json::value> Client::read(Method method, const std::string& path,
                                          const web::json::value& body) const {
    const auto& name = method_name(method);
    const std::string relative = path;
    pplx::task<http::http_response> reply = body.is_null()
                                                ? m_client->request(name, relative)
                                                : m_client->request(name, relative, body);
    // The client must live until the body has arrived. A continuation beside
    // the chain holds it: a step in the chain would copy the whole reply once
    // more, and a task step copies its value twice.
    auto client = m_client;
    return reply.then([client](const http::http_response& response) {
        pplx::task<web::json::value> json = read_json(response);
        json.then([client](const pplx::task<web::json::value>&) {});
        return json;
    });
}

pplx::task<web::json::value> Client::read_strict(Method method, const std::string& path,
                                                 const web::json::value& body) const {
    return read(method, path, body).then(reject_errors);
}

pplx::task<web::json::value> read_json(const http::http_response& reply) {
    const http::status_code status = reply.status_code();
    if (status != http::status_codes::OK) {
        std::string message = "HTTP " + std::to_string(status);
        if (!reply.reason_phrase().empty()) message += " " + reply.reason_phrase();
        throw http::http_exception(static_cast<int>(status), message);
    }
    if (reply.headers().content_length() > kMaxReplyBytes) {
        throw http::http_exception("Error: the reply is larger than 4 MiB.");
    }
    // Read as UTF-8 text whatever the content type says, then parsed.
    auto text = std::make_shared<std::string>();
    auto chunk = std::make_shared<std::vector<std::uint8_t>>(kReadChunk);
    return read_capped(reply.body(), text, chunk).then([text] {
        return web::json::value::parse(*text);
    });
}

web::json::value reject_errors(pplx::task<web::json::value> json) {
    web::json::value value = json.get();
    if (!value.is_array()) return value;
    for (const auto& element : value.as_array()) {
        if (element.is_object() && element.has_field("error")) {
            throw std::runtime_error(element.serialize());
        }
    }
    return value;
}

std::string path_segment(const std::string& id) {
    if (id == "." || id == "..") {
        std::string encoded;
        for (std::size_t i = 0; i < id.size(); ++i) encoded += "%2E";
        return encoded;
    }
    // encode_data_string keeps only the unreserved characters.
    return web::uri::encode_data_string(id);
}

pplx::task<void> nothing_to_send() { return pplx::task_from_result(); }

}  // namespace Hue
