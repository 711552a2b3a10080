#include "json/parse.hpp"

#include <algorithm>
#include <utility>
#include <vector>

namespace Json {
namespace {

// Builds the value from the parser's events: the first of repeated names
// wins, and nesting deeper than kMaxDepth stops the parse.
class Builder : public nlohmann::json_sax<Value> {
public:
    // `kept`: the only members of a root object built; null: all of them.
    explicit Builder(const std::vector<std::string_view>* kept = nullptr) : m_kept(kept) {}

    Value& root() { return m_root; }
    // The byte at which the parse failed (1-based), and whether it was the depth.
    std::size_t failed_at() const { return m_failed_at; }
    bool too_deep() const { return m_too_deep; }

    bool null() override { return put(Value()); }
    bool boolean(bool v) override { return put(Value(v)); }
    bool number_integer(number_integer_t v) override { return put(Value(v)); }
    bool number_unsigned(number_unsigned_t v) override { return put(Value(v)); }
    bool number_float(number_float_t v, const string_t&) override { return put(Value(v)); }
    bool string(string_t& v) override { return put(Value(std::move(v))); }
    bool binary(binary_t&) override { return false; }  // never in a JSON text

    bool start_object(std::size_t) override { return open(Value::object()); }
    bool key(string_t& name) override {
        if (m_skipping > 0) return true;
        if (m_kept != nullptr && m_open.size() == 1 &&
            std::find(m_kept->begin(), m_kept->end(), name) == m_kept->end()) {
            m_skip_next = true;  // a member of the root not asked for
            return true;
        }
        auto& members = m_open.back()->get_ref<Value::object_t&>();
        const auto [it, inserted] = members.emplace(std::move(name), Value());
        m_slot = &it->second;
        m_skip_next = !inserted;  // a repeated name: its value is passed over
        return true;
    }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(Value::array()); }
    bool end_array() override { return close(); }

    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception&) override {
        m_failed_at = position;
        return false;
    }

private:
    // The place for the next value: the root, an array's next element, or the
    // member whose name came last.
    Value* slot() {
        if (m_open.empty()) return &m_root;
        Value& parent = *m_open.back();
        if (parent.is_array()) {
            auto& elements = parent.get_ref<Value::array_t&>();
            elements.emplace_back();
            return &elements.back();
        }
        return m_slot;
    }

    // True when the value that begins now is passed over: it is inside, or
    // is, the value of a repeated name.
    bool passing_over() {
        if (m_skipping > 0) return true;
        return std::exchange(m_skip_next, false);
    }

    bool put(Value v) {
        if (!passing_over()) *slot() = std::move(v);
        return true;
    }

    bool open(Value container) {
        if (++m_depth > kMaxDepth) {
            m_too_deep = true;
            return false;
        }
        if (passing_over()) {
            ++m_skipping;
            return true;
        }
        Value* place = slot();
        *place = std::move(container);
        m_open.push_back(place);
        return true;
    }

    bool close() {
        --m_depth;
        if (m_skipping > 0) {
            --m_skipping;
        } else {
            m_open.pop_back();
        }
        return true;
    }

    const std::vector<std::string_view>* m_kept;
    Value m_root;
    Value* m_slot = nullptr;
    bool m_skip_next = false;
    std::size_t m_skipping = 0;  // the depth within a value passed over
    std::size_t m_depth = 0;
    std::vector<Value*> m_open;  // the arrays and objects being read, innermost last
    std::size_t m_failed_at = 0;
    bool m_too_deep = false;
};

// "line L, column C" of the 1-based byte `position` of `text`.
std::string place(std::string_view text, std::size_t position) {
    const std::size_t before = std::min(position == 0 ? 0 : position - 1, text.size());
    const std::string_view read = text.substr(0, before);
    const std::size_t line =
        1 + static_cast<std::size_t>(std::count(read.begin(), read.end(), '\n'));
    const std::size_t line_start =
        read.rfind('\n') == std::string_view::npos ? 0 : read.rfind('\n') + 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(before - line_start + 1);
}

// Parses `text` into what `builder` builds.
Value parse_with(Builder& builder, std::string_view text, const std::string& source) {
    // The parser takes a NUL byte for the end of the text: whatever follows
    // one would go unread.
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        throw ParseError("Error: " + source + " is not JSON (" + place(text, nul + 1) + ").");
    }
    const bool read = Value::sax_parse(text, &builder, nlohmann::json::input_format_t::json, true);
    if (read) return std::move(builder.root());
    if (builder.too_deep()) {
        throw ParseError("Error: " + source + " is nested more than " + std::to_string(kMaxDepth) +
                         " deep.");
    }
    throw ParseError("Error: " + source + " is not JSON (" + place(text, builder.failed_at()) +
                     ").");
}

}  // namespace

Value parse(std::string_view text, const std::string& source) {
    Builder builder;
    return parse_with(builder, text, source);
}

Value parse_members(std::string_view text, const std::vector<std::string_view>& kept,
                    const std::string& source) {
    Builder builder(&kept);
    return parse_with(builder, text, source);
}

}  // namespace Json
