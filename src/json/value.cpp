#include "json/value.hpp"

#include <cmath>

namespace Json {

const Value& at(const Value& object, std::string_view key) {
    if (!object.is_object()) throw Error("not an object");
    const auto& members = object.get_ref<const Value::object_t&>();
    const auto found = members.find(key);
    if (found == members.end()) throw Error("Key not found");
    return found->second;
}

const Value* find(const Value& value, std::string_view key) {
    if (!value.is_object()) return nullptr;
    const auto& members = value.get_ref<const Value::object_t&>();
    const auto found = members.find(key);
    return found == members.end() ? nullptr : &found->second;
}

const Value& at(const Value& array, std::size_t index) {
    const auto& elements = as_array(array);
    if (index >= elements.size()) throw Error("index out of bounds");
    return elements[index];
}

const std::string& as_string(const Value& value) {
    if (!value.is_string()) throw Error("not a string");
    return value.get_ref<const std::string&>();
}

bool as_bool(const Value& value) {
    if (!value.is_boolean()) throw Error("not a boolean");
    return value.get<bool>();
}

const Value::object_t& as_object(const Value& value) {
    if (!value.is_object()) throw Error("not an object");
    return value.get_ref<const Value::object_t&>();
}

const Value::array_t& as_array(const Value& value) {
    if (!value.is_array()) throw Error("not an array");
    return value.get_ref<const Value::array_t&>();
}

double as_double(const Value& value) {
    if (!value.is_number()) throw Error("not a number");
    return value.get<double>();
}

std::int64_t as_int64(const Value& value) {
    if (value.is_number_unsigned()) {
        return static_cast<std::int64_t>(value.get<std::uint64_t>());
    }
    if (value.is_number_integer()) return value.get<std::int64_t>();
    if (!value.is_number_float()) throw Error("not a number");
    const double whole = std::trunc(value.get<double>());
    // 2^63 itself is out of range; every double below it converts.
    if (!(whole >= -9223372036854775808.0 && whole < 9223372036854775808.0)) {
        throw Error("not a number");
    }
    return static_cast<std::int64_t>(whole);
}

int as_int(const Value& value) { return static_cast<int>(as_int64(value)); }

}  // namespace Json
