#ifndef GLOWRIG_HTTP_REQUEST_HPP_
#define GLOWRIG_HTTP_REQUEST_HPP_

#include <string>
#include <utility>
#include <vector>

#include "http/exchange.hpp"

namespace Http {

using Fields = std::vector<std::pair<std::string, std::string>>;

// True when no name or value of `fields` holds a byte that would end a field
// early (CR, LF) or that no field may hold (NUL).
bool fields_are_whole(const Fields& fields);

// Returns a request as it goes on the wire: the request line, Host, then
// "Connection: close" unless `keep_alive`, `fields` in their order, and for a
// body its JSON content type. A PUT or POST always states its length, a GET or
// DELETE only with a body. REQUIRES: fields_are_whole(fields).
std::string request_text(Method method, const std::string& target, const std::string& host,
                         bool keep_alive, const Fields& fields, const std::string& body);

}  // namespace Http

#endif  // GLOWRIG_HTTP_REQUEST_HPP_
