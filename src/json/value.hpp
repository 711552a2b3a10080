#ifndef GLOWRIG_JSON_VALUE_HPP_
#define GLOWRIG_JSON_VALUE_HPP_

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "json/value_fwd.hpp"

namespace Json {

// Json::Value (json/value_fwd.hpp) is a JSON value. Objects keep their
// members in name order (byte order of the names), which is the order in which
// glowrig writes every JSON text.

// A JSON value that has not the shape its reader needs. what() is one of
// "Key not found", "not an object", "not an array", "not a string",
// "not a boolean", "not a number", "index out of bounds".
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The member `key` of `object`. Throws Error "not an object" when `object` is
// not one, "Key not found" when it has no such member.
const Value& at(const Value& object, std::string_view key);

// The member `key` of `value`, or null when `value` is not an object or has no
// such member. Never throws.
const Value* find(const Value& value, std::string_view key);

// True when `value` is an object with the member `key`.
inline bool has(const Value& value, std::string_view key) { return find(value, key) != nullptr; }

// The element `index` of `array`. Throws Error "not an array" or
// "index out of bounds".
const Value& at(const Value& array, std::size_t index);

// The value as the type its name says, else Error.
const std::string& as_string(const Value& value);
bool as_bool(const Value& value);
const Value::object_t& as_object(const Value& value);
const Value::array_t& as_array(const Value& value);
double as_double(const Value& value);
// A number as an integer: an integral one as it is (cut to 64 bits), one with
// a fraction cut to its integral part; Error "not a number" for anything else,
// and for a number outside the range of std::int64_t.
std::int64_t as_int64(const Value& value);
// As as_int64, cut to int.
int as_int(const Value& value);

// True for a number without a fraction, as the parser read it.
inline bool is_integer(const Value& value) {
    return value.is_number_integer();  // signed and unsigned alike
}

}  // namespace Json

#endif  // GLOWRIG_JSON_VALUE_HPP_
