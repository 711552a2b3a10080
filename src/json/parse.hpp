#ifndef GLOWRIG_JSON_PARSE_HPP_
#define GLOWRIG_JSON_PARSE_HPP_

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "json/value.hpp"

namespace Json {

// How deep arrays and objects may nest in a text parse() reads: far beyond
// any bridge's replies, and a bound on the memory a hostile peer can make
// glowrig spend per byte it sends.
inline constexpr std::size_t kMaxDepth = 128;

// A text that is not JSON. what() is the line users see, naming the place:
// "Error: the bridge's reply is not JSON (line 1, column 2)."
class ParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads `text` as one JSON value; blanks around it are allowed. `source` names
// the text in the failure ("the bridge's reply"). Strings must be UTF-8. Of a
// name that repeats within one object the first member is kept. Throws
// ParseError for anything else, and for arrays or objects nested deeper than
// kMaxDepth.
Value parse(std::string_view text, const std::string& source = "the bridge's reply");

// As parse(), keeping of an object at the root only the members named in
// `kept`: the others are read and checked as closely, but nothing is built
// of them. Cheaper for a caller that needs a few parts of a large reply.
Value parse_members(std::string_view text, const std::vector<std::string_view>& kept,
                    const std::string& source = "the bridge's reply");

}  // namespace Json

#endif  // GLOWRIG_JSON_PARSE_HPP_
