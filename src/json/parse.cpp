#include "json/parse.hpp"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <limits>
#include <utility>
#include <vector>

namespace Json {
namespace {

// Builds the value from the parser's events, as far as a Shape says: the
// first of repeated names wins, and nesting deeper than `max_depth` stops
// the parse.
class Builder : public nlohmann::json_sax<Value> {
public:
    // `shape`: what is built of the root; null: all of it.
    explicit Builder(const Shape* shape = nullptr, std::size_t max_depth = kMaxDepth)
        : m_root_shape(shape), m_max_depth(max_depth) {}

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
        Open& object = m_open.back();
        auto& members = object.value->get_ref<Value::object_t&>();
        const Shape* shape = object.shape;
        if (shape != nullptr && shape->item != nullptr) {
            // An item: the object keeps its name, its value is built apart
            // and handed over once read.
            m_skip_next = !members.emplace(name, Value()).second;  // a repeated name
            object.item_name = std::move(name);
            object.item = Value();
            m_slot = &object.item;
            m_slot_shape = shape->item;
            return true;
        }
        const Shape* member_shape = nullptr;
        if (shape != nullptr) {
            const auto found =
                std::find_if(shape->members.begin(), shape->members.end(),
                             [&](const ShapeMember& member) { return member.name == name; });
            if (found == shape->members.end()) {
                m_skip_next = true;  // a member not asked for
                return true;
            }
            member_shape = found->shape;
        }
        const auto [it, inserted] = members.emplace(std::move(name), Value());
        m_skip_next = !inserted;  // a repeated name: its value is passed over
        m_slot = &it->second;
        m_slot_shape = member_shape;
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
    // An array or object being read.
    struct Open {
        Value* value;
        const Shape* shape;     // what is built of an object's members; null: all
        std::string item_name;  // an object of items: the item being read
        Value item;
    };

    // The place for the next value, and what is built of it: the root, an
    // array's next element, or the member or item whose name came last.
    Value* slot(const Shape*& shape) {
        if (m_open.empty()) {
            shape = m_root_shape;
            return &m_root;
        }
        Value& parent = *m_open.back().value;
        if (parent.is_array()) {
            shape = nullptr;
            auto& elements = parent.get_ref<Value::array_t&>();
            elements.emplace_back();
            return &elements.back();
        }
        shape = m_slot_shape;
        return m_slot;
    }

    // True when the value that begins now is passed over: it is inside, or
    // is, the value of a repeated name or of a member not asked for.
    bool passing_over() {
        if (m_skipping > 0) return true;
        return std::exchange(m_skip_next, false);
    }

    // Hands over the value just read when it is an item (its parent is an
    // object of items).
    void finished() {
        if (m_open.empty()) return;
        Open& parent = m_open.back();
        if (parent.shape == nullptr || parent.shape->item == nullptr) return;
        parent.shape->take(std::move(parent.item_name), std::move(parent.item));
        parent.item = Value();
    }

    bool put(Value v) {
        if (passing_over()) return true;
        const Shape* shape = nullptr;
        *slot(shape) = std::move(v);
        finished();
        return true;
    }

    bool open(Value container) {
        if (++m_depth > m_max_depth) {
            m_too_deep = true;
            return false;
        }
        if (passing_over()) {
            ++m_skipping;
            return true;
        }
        const Shape* shape = nullptr;
        Value* place = slot(shape);
        if (!container.is_object()) shape = nullptr;  // an array is built whole
        *place = std::move(container);
        m_open.push_back(Open{place, shape, std::string(), Value()});
        return true;
    }

    bool close() {
        --m_depth;
        if (m_skipping > 0) {
            --m_skipping;
            return true;
        }
        m_open.pop_back();
        finished();
        return true;
    }

    const Shape* m_root_shape;
    const std::size_t m_max_depth;
    Value m_root;
    Value* m_slot = nullptr;
    const Shape* m_slot_shape = nullptr;
    bool m_skip_next = false;
    std::size_t m_skipping = 0;  // the depth within a value passed over
    std::size_t m_depth = 0;
    // The arrays and objects being read, innermost last. A deque: the places
    // of the items being read stay where they are while more are opened.
    std::deque<Open> m_open;
    std::size_t m_failed_at = 0;
    bool m_too_deep = false;
};

// Gives `builder` the events a parser gives for a text that reads as
// `value`; false once the builder stops.
bool replay(const Value& value, Builder& builder) {
    switch (value.type()) {
        case Value::value_t::object: {
            if (!builder.start_object(value.size())) return false;
            for (const auto& [name, member] : value.get_ref<const Value::object_t&>()) {
                std::string key = name;
                if (!builder.key(key) || !replay(member, builder)) return false;
            }
            return builder.end_object();
        }
        case Value::value_t::array:
            if (!builder.start_array(value.size())) return false;
            for (const auto& element : value.get_ref<const Value::array_t&>()) {
                if (!replay(element, builder)) return false;
            }
            return builder.end_array();
        case Value::value_t::string: {
            std::string text = value.get_ref<const std::string&>();
            return builder.string(text);
        }
        case Value::value_t::boolean:
            return builder.boolean(value.get<bool>());
        case Value::value_t::number_integer:
            return builder.number_integer(value.get<std::int64_t>());
        case Value::value_t::number_unsigned:
            return builder.number_unsigned(value.get<std::uint64_t>());
        case Value::value_t::number_float:
            return builder.number_float(value.get<double>(), std::string());
        default:  // null; binary and discarded never come from a text
            return builder.null();
    }
}

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
    Shape shape;
    for (const std::string_view name : kept) shape.members.push_back(ShapeMember{name});
    return parse_shaped(text, shape, source);
}

Value parse_shaped(std::string_view text, const Shape& shape, const std::string& source) {
    Builder builder(&shape);
    return parse_with(builder, text, source);
}

Value reshape(const Value& value, const Shape& shape) {
    // A value is as deep as it is: no depth limit.
    Builder builder(&shape, std::numeric_limits<std::size_t>::max());
    replay(value, builder);
    return std::move(builder.root());
}

}  // namespace Json
