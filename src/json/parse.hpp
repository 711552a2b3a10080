#ifndef GLOWRIG_JSON_PARSE_HPP_
#define GLOWRIG_JSON_PARSE_HPP_

#include <cstddef>
#include <functional>
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

struct Shape;

// A member of an object that a Shape builds, in its own shape (null: whole).
struct ShapeMember {
    std::string_view name;
    const Shape* shape = nullptr;
};

// What a shaped read builds of an object; a null Shape, and any value that
// is not an object, is built whole. A reader that needs a few members of
// each item of a large reply gets them without the tree of the rest.
struct Shape {
    // The members built, each in its shape; the others are read and checked
    // as closely, but nothing is built of them. Unused when `item` is set.
    std::vector<ShapeMember> members;
    // When set, the object's members are items: each one's value is built in
    // the shape *item and handed to `take` with its name as soon as it has
    // been read, then dropped; the object keeps the names, with null values.
    // Of a repeated name only the first value is handed over. `take` should
    // not throw: the text after the item has not been checked yet.
    const Shape* item = nullptr;
    std::function<void(std::string name, Value value)> take = nullptr;
};

// As parse(), building of the value only what `shape` says.
Value parse_shaped(std::string_view text, const Shape& shape,
                   const std::string& source = "the bridge's reply");

// The parts of `value` that `shape` says, built and handed over as
// parse_shaped() does with the text of `value`.
Value reshape(const Value& value, const Shape& shape);

}  // namespace Json

#endif  // GLOWRIG_JSON_PARSE_HPP_
