#include "hue/client.hpp"

#include <stdexcept>
#include <string>
#include <utility>

#include "http/uri.hpp"
#include "hue/bridge_error.hpp"
#include "json/parse.hpp"
#include "json/text.hpp"
#include "json/value.hpp"
#include "util/text.hpp"

namespace Hue {
namespace {

// Throws the line that names the https address a plain-HTTP request was
// redirected to, when `failure` is such a redirect; returns otherwise. Bridges
// that answer only over TLS redirect every plain request; following them would
// send the user name in clear first.
void redirected_to_https(const Http::Endpoint& endpoint, const Http::Failure& failure) {
    const int status = failure.status();
    if (endpoint.scheme != Http::Scheme::Http || status < 300 || status > 399) return;
    const auto target = Http::read_endpoint(failure.location(), Http::kNumericUrl);
    if (!target || target->scheme != Http::Scheme::Https) return;
    throw std::runtime_error("Error: the bridge answers only over HTTPS: use --bridge=" +
                             Http::location_text(*target) + ".");
}

// True for the characters a URL path holds unencoded: a path's characters
// and '%'.
bool is_path_character(char c) { return c == '%' || Http::is_path_char(c); }

// `endpoint` with `path` joined to its target by exactly one '/'; the
// endpoint itself for an empty path.
Http::Endpoint joined(Http::Endpoint endpoint, const std::string& path) {
    if (path.empty() || path == "/") return endpoint;
    std::string& target = endpoint.target;
    const bool slash_before = !target.empty() && target.back() == '/';
    const bool slash_after = path.front() == '/';
    if (slash_before && slash_after) {
        target.pop_back();
    } else if (!slash_before && !slash_after) {
        target += '/';
    }
    target += path;
    for (const char c : target) {
        if (!is_path_character(c)) {
            throw std::invalid_argument("provided uri is invalid: " + Http::url_text(endpoint));
        }
    }
    return endpoint;
}

}  // namespace

Client::Client() : Client(Http::Endpoint{.host = "127.0.0.1"}, Http::Options()) {}

Client::Client(Http::Endpoint base, Http::Options options)
    : m_base(std::move(base)), m_options(std::move(options)) {}

Client Client::with_path(const std::string& path) const {
    Client other(*this);
    other.m_base = resource_endpoint(m_base, path);
    return other;
}

std::string Client::send(Http::Method method, const std::string& path,
                         const std::string& body) const {
    const Http::Endpoint endpoint = joined(m_base, path);
    try {
        return Http::exchange(endpoint, method, body, m_options);
    } catch (const Http::Failure& failure) {
        redirected_to_https(endpoint, failure);
        throw;
    }
}

Http::Endpoint resource_endpoint(Http::Endpoint peer, const std::string& path) {
    peer.target = "/";
    return joined(std::move(peer), path);
}

Json::Value read_json(const std::string& body) { return Json::parse(body); }

Json::Value reject_errors(Json::Value json) {
    if (!json.is_array()) return json;
    for (const auto& element : Json::as_array(json)) {
        if (Json::has(element, "error")) throw_bridge_error(element);
    }
    return json;
}

Json::Value read_json_strict(const std::string& body) { return reject_errors(read_json(body)); }

void throw_bridge_error(const Json::Value& element) {
    int type = 0;
    std::string address;
    const Json::Value& error = Json::at(element, "error");
    if (const Json::Value* code = Json::find(error, "type"); code && Json::is_integer(*code)) {
        type = Json::as_int(*code);
    }
    if (const Json::Value* where = Json::find(error, "address"); where && where->is_string()) {
        address = Json::as_string(*where);
    }
    throw BridgeError(Json::text(element), type, address);
}

std::string path_segment(const std::string& id) {
    std::string encoded;
    const bool dots = id == "." || id == "..";
    for (const char c : id) {
        if (Http::is_unreserved(c) && !dots) {
            encoded += c;
            continue;
        }
        encoded += '%' + Util::hex_byte(static_cast<unsigned char>(c));
    }
    return encoded;
}

}  // namespace Hue
