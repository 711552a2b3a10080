#include "http/uri.hpp"

#include <algorithm>

namespace Http {

bool is_unreserved(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

bool is_sub_delim(char c) {
    switch (c) {
        case '!':
        case '$':
        case '&':
        case '\'':
        case '(':
        case ')':
        case '*':
        case '+':
        case ',':
        case ';':
        case '=':
            return true;
        default:
            return false;
    }
}

bool is_path_char(char c) {
    return is_unreserved(c) || is_sub_delim(c) || c == ':' || c == '@' || c == '/';
}

namespace {

bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The characters of a user info, of a host name and of an IP literal's inside.
bool is_user_char(char c) { return is_unreserved(c) || is_sub_delim(c) || c == ':'; }
bool is_name_char(char c) { return is_unreserved(c) || is_sub_delim(c); }
bool is_query_char(char c) { return is_path_char(c) || c == '?'; }

// True when `text` holds only characters that `allowed` accepts and '%'.
// A '%' is taken as written, whether two hex digits follow or not: devices
// write stray ones, and the URL is used as they gave it.
bool made_of(std::string_view text, bool (*allowed)(char)) {
    for (char c : text) {
        if (c != '%' && !allowed(c)) return false;
    }
    return true;
}

bool is_scheme(std::string_view text) {
    if (text.empty() || !is_alpha(text.front())) return false;
    for (char c : text) {
        if (!is_alpha(c) && !is_digit(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

// Reads `authority` into `uri`'s host, port and user info.
bool read_authority(std::string_view authority, UriReference& uri) {
    const auto at = authority.find('@');
    if (at != std::string_view::npos) {
        if (!made_of(authority.substr(0, at), is_user_char)) return false;
        uri.user_info = true;
        authority.remove_prefix(at + 1);
    }
    std::string_view rest;
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        if (close == std::string_view::npos ||
            !made_of(authority.substr(1, close - 1), is_user_char)) {
            return false;
        }
        uri.host = std::string(authority.substr(0, close + 1));
        rest = authority.substr(close + 1);
    } else {
        const auto colon = authority.find(':');
        if (!made_of(authority.substr(0, colon), is_name_char)) return false;
        uri.host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos) rest = authority.substr(colon);
    }
    if (rest.empty()) return true;
    if (rest.front() != ':') return false;
    rest.remove_prefix(1);
    for (char c : rest) {
        if (!is_digit(c)) return false;
    }
    uri.port = std::string(rest);
    return true;
}

// Drops the last segment of `output` and the '/' before it.
void drop_last_segment(std::string& output) {
    const auto slash = output.rfind('/');
    output.erase(slash == std::string::npos ? 0 : slash);
}

bool starts_with(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// `path` without its "." and ".." segments (RFC 3986 §5.2.4).
std::string remove_dot_segments(std::string_view path) {
    std::string output;
    while (!path.empty()) {
        if (starts_with(path, "../")) {
            path.remove_prefix(3);
        } else if (starts_with(path, "./")) {
            path.remove_prefix(2);
        } else if (starts_with(path, "/./")) {
            path.remove_prefix(2);
        } else if (path == "/.") {
            path = "/";
        } else if (starts_with(path, "/../")) {
            path.remove_prefix(3);
            drop_last_segment(output);
        } else if (path == "/..") {
            path = "/";
            drop_last_segment(output);
        } else if (path == "." || path == "..") {
            path = std::string_view();
        } else {
            const auto end = path.find('/', 1);
            output += path.substr(0, end);
            path.remove_prefix(end == std::string_view::npos ? path.size() : end);
        }
    }
    return output;
}

// The authority's parts of `from` given to `to`.
void take_authority(UriReference& to, const UriReference& from) {
    to.authority = from.authority;
    to.host = from.host;
    to.port = from.port;
    to.user_info = from.user_info;
}

}  // namespace

std::optional<UriReference> read_uri(std::string_view text) {
    UriReference uri;
    const auto first = text.find_first_of(":/?#");
    if (first != std::string_view::npos && text[first] == ':') {
        // A colon in the first segment of a relative reference would read as a scheme.
        if (!is_scheme(text.substr(0, first))) return std::nullopt;
        uri.scheme = std::string(text.substr(0, first));
        text.remove_prefix(first + 1);
    }
    if (starts_with(text, "//")) {
        text.remove_prefix(2);
        const auto end = std::min(text.find_first_of("/?#"), text.size());
        uri.authority = std::string(text.substr(0, end));
        if (!read_authority(*uri.authority, uri)) return std::nullopt;
        text.remove_prefix(end);
    }
    const auto path_end = std::min(text.find_first_of("?#"), text.size());
    if (!made_of(text.substr(0, path_end), is_path_char)) return std::nullopt;
    uri.path = std::string(text.substr(0, path_end));
    text.remove_prefix(path_end);
    if (starts_with(text, "?")) {
        const auto end = std::min(text.find('#'), text.size());
        if (!made_of(text.substr(1, end - 1), is_query_char)) return std::nullopt;
        uri.query = std::string(text.substr(1, end - 1));
        text.remove_prefix(end);
    }
    if (starts_with(text, "#")) {
        if (!made_of(text.substr(1), is_query_char)) return std::nullopt;
        uri.fragment = std::string(text.substr(1));
    }
    return uri;
}

std::optional<unsigned short> port_number(std::string_view digits) {
    if (digits.empty() || digits.size() > 5 || digits.front() == '0') return std::nullopt;
    unsigned long port = 0;
    for (char c : digits) {
        if (!is_digit(c)) return std::nullopt;
        port = port * 10 + static_cast<unsigned long>(c - '0');
    }
    if (port > 65535) return std::nullopt;
    return static_cast<unsigned short>(port);
}

std::string uri_text(const UriReference& uri) {
    std::string text;
    if (uri.scheme) text += *uri.scheme + ":";
    if (uri.authority) text += "//" + *uri.authority;
    text += uri.path;
    if (uri.query) text += "?" + *uri.query;
    if (uri.fragment) text += "#" + *uri.fragment;
    return text;
}

UriReference resolve_uri(const UriReference& base, const UriReference& reference) {
    UriReference target;
    if (reference.scheme || reference.authority) {
        target.scheme = reference.scheme ? reference.scheme : base.scheme;
        take_authority(target, reference);
        target.path = remove_dot_segments(reference.path);
        target.query = reference.query;
    } else {
        target.scheme = base.scheme;
        take_authority(target, base);
        if (reference.path.empty()) {
            target.path = base.path;
            target.query = reference.query ? reference.query : base.query;
        } else {
            if (reference.path.front() == '/') {
                target.path = remove_dot_segments(reference.path);
            } else if (base.authority && base.path.empty()) {
                target.path = remove_dot_segments("/" + reference.path);
            } else {
                const auto slash = base.path.rfind('/');
                const std::string directory =
                    slash == std::string::npos ? std::string() : base.path.substr(0, slash + 1);
                target.path = remove_dot_segments(directory + reference.path);
            }
            target.query = reference.query;
        }
    }
    target.fragment = reference.fragment;
    return target;
}

}  // namespace Http
