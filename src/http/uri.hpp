#ifndef GLOWRIG_HTTP_URI_HPP_
#define GLOWRIG_HTTP_URI_HPP_

#include <optional>
#include <string>
#include <string_view>

namespace Http {

// A URI reference (RFC 3986 §4.1: a URI or a relative reference), each part
// as written. A part the text leaves out is nullopt; the path is always
// there, maybe empty.
struct UriReference {
    std::optional<std::string> scheme;
    std::optional<std::string> authority;  // user info, host and port
    std::string host;                      // of the authority; an IP literal in its brackets
    std::optional<std::string> port;       // the digits after the host's ':', maybe none
    bool user_info = false;                // the authority holds a user info ("...@")
    std::string path;
    std::optional<std::string> query;
    std::optional<std::string> fragment;
};

// Reads `text` as a URI reference. nullopt when it is none: a character that
// no part allows (blanks, controls, bytes above 0x7F, '"', '<', '{', a
// backslash, ...), a scheme that does not start with a letter, a host in
// brackets that does not end there, a port that is not all digits. A '%' is
// taken as written, also without two hex digits after it.
std::optional<UriReference> read_uri(std::string_view text);

// RFC 3986's unreserved characters: letters, digits, '-', '.', '_', '~'.
bool is_unreserved(char c);
// RFC 3986's sub-delimiters: "!$&'()*+,;=".
bool is_sub_delim(char c);
// The characters a path holds as they are, '%' aside: the unreserved ones,
// the sub-delimiters, ':', '@' and '/'.
bool is_path_char(char c);

// The port `digits` names: a number from 1 to 65535 written without leading
// zeros, so that it reads back as written; nullopt for anything else.
std::optional<unsigned short> port_number(std::string_view digits);

// The reference as text: the parts joined with their delimiters (RFC 3986 §5.3).
std::string uri_text(const UriReference& uri);

// The target of `reference` resolved against `base`, a URI with a scheme
// (RFC 3986 §5.2.2), its dot segments removed.
UriReference resolve_uri(const UriReference& base, const UriReference& reference);

}  // namespace Http

#endif  // GLOWRIG_HTTP_URI_HPP_
