#include "hue/client.hpp"

#include <stdexcept>
#include <string>

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

http::client::http_client_config config_with(const web::web_proxy& proxy) {
    http::client::http_client_config config;
    config.set_proxy(proxy);
    return config;
}

}  // namespace

Client::Client()
    : Client(web::uri("http://127.0.0.1/"), web::web_proxy(web::web_proxy::use_auto_discovery)) {}

Client::Client(const web::uri& base, const web::web_proxy& proxy)
    : m_client(std::make_shared<http::client::http_client>(base, config_with(proxy))) {}

web::uri Client::base_uri() const { return m_client->base_uri(); }

Client Client::with_path(const std::wstring& path) const {
    Client other(*this);
    other.m_client = std::make_shared<http::client::http_client>(
        http_url(m_client->base_uri().host(), path), m_client->client_config());
    return other;
}

web::uri http_url(const std::string& host, const std::wstring& path) {
    web::uri_builder builder;
    builder.set_scheme("http").set_host(host).set_path(to_utf8(path));
    // Parsed again from its text: a built URI without a port reports port -1,
    // which the HTTP client cannot connect to; a parsed one means the default.
    return web::uri(builder.to_string());
}

pplx::task<web::json::value> Client::read(Method method, const std::wstring& path,
                                          const web::json::value& body) const {
    const auto& name = method_name(method);
    const std::string relative = to_utf8(path);
    pplx::task<http::http_response> reply = body.is_null()
                                                ? m_client->request(name, relative)
                                                : m_client->request(name, relative, body);
    // The last step holds the client, which must live until the body has arrived.
    auto client = m_client;
    return reply.then([](const http::http_response& response) { return read_json(response); })
        .then([client](const web::json::value& json) { return json; });
}

pplx::task<web::json::value> Client::read_strict(Method method, const std::wstring& path,
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
    return reply.extract_json(true);
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

std::wstring path_segment(const std::wstring& id) {
    if (id == L"." || id == L"..") {
        std::wstring encoded;
        for (std::size_t i = 0; i < id.size(); ++i) encoded += L"%2E";
        return encoded;
    }
    // encode_data_string keeps only the unreserved characters.
    return to_wide(web::uri::encode_data_string(to_utf8(id)));
}

pplx::task<void> nothing_to_send() { return pplx::task_from_result(); }

}  // namespace Hue
