#include "json/text.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace Json {
namespace {

// The subtype of the binary values that hold the text of a decimal().
constexpr std::uint64_t kDecimalSubtype = 0x64;

void write_string(const std::string& raw, std::string& out) {
    static const char kHex[] = "0123456789ABCDEF";
    out += '"';
    for (const char c : raw) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    out += "\\u00";
                    out += kHex[(c >> 4) & 0xF];
                    out += kHex[c & 0xF];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

void write_double(double number, Numbers numbers, std::string& out) {
    if (!std::isfinite(number)) {
        out += "null";
        return;
    }
    char buffer[32];
    if (numbers == Numbers::shortest) {
        // The shortest digits that read back to `number`, fixed or with an
        // exponent, whichever is shorter; never locale-dependent.
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, number);
        out.append(buffer, written.ptr);
        return;
    }
    std::snprintf(buffer, sizeof buffer, "%.17g", number);
    out += buffer;
}

void write(const Value& value, Numbers numbers, std::string& out) {
    switch (value.type()) {
        case Value::value_t::object: {
            out += '{';
            bool first = true;
            for (const auto& [name, member] : value.get_ref<const Value::object_t&>()) {
                if (!first) out += ',';
                first = false;
                write_string(name, out);
                out += ':';
                write(member, numbers, out);
            }
            out += '}';
            break;
        }
        case Value::value_t::array: {
            out += '[';
            bool first = true;
            for (const auto& element : value.get_ref<const Value::array_t&>()) {
                if (!first) out += ',';
                first = false;
                write(element, numbers, out);
            }
            out += ']';
            break;
        }
        case Value::value_t::string:
            write_string(value.get_ref<const std::string&>(), out);
            break;
        case Value::value_t::boolean:
            out += value.get<bool>() ? "true" : "false";
            break;
        case Value::value_t::number_integer:
            out += std::to_string(value.get<std::int64_t>());
            break;
        case Value::value_t::number_unsigned:
            out += std::to_string(value.get<std::uint64_t>());
            break;
        case Value::value_t::number_float:
            write_double(value.get<double>(), numbers, out);
            break;
        case Value::value_t::binary: {
            const auto& bytes = value.get_binary();
            if (bytes.has_subtype() && bytes.subtype() == kDecimalSubtype) {
                out.append(bytes.begin(), bytes.end());
            } else {
                out += "null";
            }
            break;
        }
        default:  // null, discarded
            out += "null";
    }
}

}  // namespace

Value decimal(double number, int places) {
    std::string written = "null";
    if (std::isfinite(number)) {
        char buffer[400];  // the widest double in "%.9f" takes 319 characters
        std::snprintf(buffer, sizeof buffer, "%.*f", std::clamp(places, 0, 9), number);
        written = buffer;
        if (written.find('.') != std::string::npos) {
            written.erase(written.find_last_not_of('0') + 1);
            if (written.back() == '.') written.pop_back();
        }
        if (written == "-0") written = "0";
    }
    return Value::binary(std::vector<std::uint8_t>(written.begin(), written.end()),
                         kDecimalSubtype);
}

std::string text(const Value& value, Numbers numbers) {
    std::string out;
    write(value, numbers, out);
    return out;
}

}  // namespace Json
