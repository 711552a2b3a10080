#include "hue/client.hpp"

#include <stdexcept>
#include <string>
#include <utility>

#include <boost/algorithm/string/predicate.hpp>

#include "http/exchange.hpp"
#include "hue/bridge_error.hpp"
#include "hue/text.hpp"

namespace Hue {
namespace {

Http::Method method_of(Method method) {
    switch (method) {
        case Method::Put:
            return Http::Method::Put;
        case Method::Post:
            return Http::Method::Post;
        case Method::Delete:
            return Http::Method::Delete;
        case Method::Get:
            break;
    }
    return Http::Method::Get;
}

// The endpoint of `url`, whose host may be a name: one is never resolved, the
// exchange fails as a name that does not resolve would.
Http::Endpoint endpoint_of(const web::uri& url) {
    Http::Endpoint endpoint;
    endpoint.scheme = url.scheme() == "https" ? Http::Scheme::Https : Http::Scheme::Http;
    std::string host = url.host();
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    endpoint.host = host;
    endpoint.port = url.port() > 0 ? static_cast<unsigned short>(url.port())
                                   : Http::default_port(endpoint.scheme);
    const std::string query = url.query();
    endpoint.target = url.path() + (query.empty() ? "" : "?" + query);
    if (endpoint.target.empty()) endpoint.target = "/";
    return endpoint;
}

// Throws the line that names the https address a plain-HTTP request was
// redirected to, when `failure` is such a redirect; returns otherwise. Bridges
// that answer only over TLS redirect every plain request; following them would
// send the user name in clear first.
void redirected_to_https(const Http::Endpoint& endpoint, const Http::Failure& failure) {
    const int status = failure.status();
    if (endpoint.scheme != Http::Scheme::Http || status < 300 || status > 399) return;
    const auto target = Http::parse_url(failure.location());
    if (!target || target->scheme != Http::Scheme::Https) return;
    throw std::runtime_error("Error: the bridge answers only over HTTPS: use --bridge=https://" +
                             Http::host_field(*target) + ".");
}

// One exchange of `method` with `url`, its reply read as JSON.
web::json::value fetch_json(const web::uri& url, Method method, const std::string& text,
                            const Http::Options& options) {
    const Http::Endpoint endpoint = endpoint_of(url);
    std::string reply;
    try {
        reply = Http::exchange(endpoint, method_of(method), text, options);
    } catch (const Http::Failure& failure) {
        redirected_to_https(endpoint, failure);
        throw;
    }
    return read_json(reply);
}

// The exchange's options for a client configured by `config`.
Http::Options options_of(const ClientConfig& config) {
    Http::Options options;
    options.timeout = config.timeout;
    options.ca_file = config.ca_file;
    options.check = config.check_certificate;
    return options;
}

web::uri join(const web::uri& base, const std::string& path) {
    if (path.empty()) return base;
    web::uri_builder builder(base);
    builder.append(path);
    return builder.to_uri();
}

}  // namespace

Client::Client() : Client(web::uri("http://127.0.0.1/"), ClientConfig()) {}

Client::Client(const web::uri& base, const ClientConfig& client_config)
    : m_base(base), m_config(client_config) {}

web::uri Client::base_uri() const { return m_base; }

Client Client::with_path(const std::string& path) const {
    Client other(*this);
    // A URI without a port reports port 0: the default port.
    const Http::Endpoint endpoint = endpoint_of(m_base);
    other.m_base = http_url(m_base.host(), path, endpoint.port, endpoint.scheme);
    return other;
}

web::uri http_url(const std::string& host, const std::string& path, unsigned short port,
                  Http::Scheme scheme) {
    web::uri_builder builder;
    builder.set_scheme(scheme == Http::Scheme::Https ? "https" : "http")
        .set_host(host)
        .set_path(path);
    if (port != Http::default_port(scheme)) builder.set_port(port);
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

pplx::task<web::json::value> Client::read(
    Method method, const std::string& path, const web::json::value& body,
    std::function<void(const web::json::value&)> check) const {
    const web::uri url = join(m_base, path);
    std::string text = body.is_null() ? std::string() : body.serialize();
    return pplx::create_task([url, method, text = std::move(text), options = options_of(m_config),
                              check = std::move(check)] {
        web::json::value json = fetch_json(url, method, text, options);
        if (check) check(json);
        return json;
    });
}

pplx::task<void> Client::read_into(Method method, const std::string& path,
                                   std::function<void(const web::json::value&)> use) const {
    const web::uri url = join(m_base, path);
    return pplx::create_task([url, method, options = options_of(m_config), use = std::move(use)] {
        use(fetch_json(url, method, std::string(), options));
    });
}

pplx::task<web::json::value> Client::read_strict(Method method, const std::string& path,
                                                 const web::json::value& body) const {
    return read(method, path, body, check_errors);
}

web::json::value read_json(const std::string& body) { return web::json::value::parse(body); }

web::json::value reject_errors(pplx::task<web::json::value> json) {
    web::json::value value = json.get();
    check_errors(value);
    return value;
}

void check_errors(const web::json::value& json) {
    if (!json.is_array()) return;
    for (const auto& element : json.as_array()) {
        if (element.is_object() && element.has_field("error")) {
            throw_bridge_error(element);
        }
    }
}

void throw_bridge_error(const web::json::value& element) {
    int type = 0;
    std::string address;
    const web::json::value& error = element.at("error");
    if (error.is_object()) {
        if (error.has_field("type") && error.at("type").is_integer()) {
            type = error.at("type").as_integer();
        }
        if (error.has_field("address") && error.at("address").is_string()) {
            address = error.at("address").as_string();
        }
    }
    throw BridgeError(element.serialize(), type, address);
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
