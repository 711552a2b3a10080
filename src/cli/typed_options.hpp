#ifndef GLOWRIG_CLI_TYPED_OPTIONS_HPP_
#define GLOWRIG_CLI_TYPED_OPTIONS_HPP_

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "access/bridge_selection.hpp"
#include "cli/command_line.hpp"
#include "cli/command_table.hpp"
#include "cli/number_option.hpp"
#include "commands/bridge_error_advice.hpp"
#include "commands/options.hpp"
#include "commands/progress.hpp"
#include "commands/usage_error.hpp"
#include "hue/address.hpp"
#include "util/colour.hpp"

namespace Cli {

// One option of the command whose option record is `Record`: its name, its
// help, the field of the record it fills and, for a text option, the words
// it must be one of (empty: any text); for a list or a point, words offered
// to complete it, which the command checks itself. A field of type std::string makes the
// option required; std::monostate declares an option the entry reads itself
// ("--json"). An integer option takes a whole number that fits its field,
// unless its forms say otherwise (a Commands::Level field must say them).
template <class Record>
struct Option {
    using Field =
        std::variant<std::monostate, bool Record::*, std::string Record::*,
                     std::optional<std::string> Record::*, std::optional<std::uint8_t> Record::*,
                     std::optional<std::uint16_t> Record::*, std::optional<int> Record::*,
                     std::optional<Commands::Level> Record::*, std::optional<Util::Xy> Record::*,
                     std::vector<std::string> Record::*, std::optional<Hue::BridgeName> Record::*>;
    // Reads the text of an option whose field holds a point of the colour
    // diagram; throws Commands::UsageError for a text it does not take.
    using PointReader = Util::Xy (*)(const std::string& text);
    Option(const char* option_name, std::string option_help, Field option_field,
           std::vector<std::string> option_words = {})
        : name(option_name),
          help(std::move(option_help)),
          field(option_field),
          words(std::move(option_words)) {}
    Option(const char* option_name, std::string option_help, Field option_field,
           NumberForms option_forms)
        : name(option_name),
          help(std::move(option_help)),
          field(option_field),
          forms(option_forms) {}
    Option(const char* option_name, std::string option_help, Field option_field,
           PointReader option_point, std::vector<std::string> option_words = {})
        : name(option_name),
          help(std::move(option_help)),
          field(option_field),
          words(std::move(option_words)),
          point(option_point) {}

    const char* name;
    std::string help;
    Field field;
    std::vector<std::string> words;
    std::optional<NumberForms> forms;
    PointReader point = nullptr;  // for a point's field
    // A text option whose words are offered to complete it, not required:
    // the command checks the text itself ("--effect" takes what a light reports).
    bool open_words = false;
};

namespace details {

// "none, select or lselect".
inline std::string one_of(const std::vector<std::string>& words) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
    }
    return text;
}

template <class Record>
ValueKind kind_of(const typename Option<Record>::Field& field) {
    if (std::holds_alternative<std::monostate>(field) ||
        std::holds_alternative<bool Record::*>(field)) {
        return ValueKind::none;
    }
    if (std::holds_alternative<std::vector<std::string> Record::*>(field)) return ValueKind::texts;
    if (std::holds_alternative<std::string Record::*>(field) ||
        std::holds_alternative<std::optional<std::string> Record::*>(field) ||
        std::holds_alternative<std::optional<Util::Xy> Record::*>(field) ||
        std::holds_alternative<std::optional<Hue::BridgeName> Record::*>(field)) {
        return ValueKind::text;
    }
    return ValueKind::number;
}

// The forms of an integer option whose field holds a `Number`: those it
// declares, else a whole number that fits the field, so that no value is
// silently cut to its field's width.
template <class Number, class Record>
NumberForms forms_of(const Option<Record>& option) {
    return option.forms.value_or(NumberForms{0, std::numeric_limits<Number>::max()});
}

// Fills the field of `option` in `record` from `values`.
template <class Record>
void read_option(const Option<Record>& option, const OptionValues& values, const char* word,
                 Record& record) {
    const char* name = option.name;
    const bool given = values.has(name);
    std::visit(
        [&](auto field) {
            using Field = decltype(field);
            if constexpr (std::is_same_v<Field, std::monostate>) {
                return;
            } else {
                using Value = std::remove_reference_t<decltype(record.*field)>;
                if constexpr (std::is_same_v<Value, std::string>) {
                    if (!given) {
                        throw Commands::UsageError(std::string("Error: required option '") + name +
                                                   "' is missing.  Try glowrig " + word + " -help");
                    }
                    record.*field = values.text(name);
                } else if (!given) {
                    return;
                } else if constexpr (std::is_same_v<Value, bool>) {
                    record.*field = true;
                } else if constexpr (std::is_same_v<Value, std::optional<std::string>>) {
                    const auto& text = values.text(name);
                    if (!option.words.empty() && !option.open_words &&
                        std::find(option.words.begin(), option.words.end(), text) ==
                            option.words.end()) {
                        // A typo never becomes another command ("none").
                        throw Commands::UsageError(std::string("Error: option '") + name +
                                                   "' must be " + one_of(option.words) + ".");
                    }
                    record.*field = text;
                } else if constexpr (std::is_same_v<Value, std::optional<Hue::BridgeName>>) {
                    // Read here, once: a bridge named by neither an address
                    // nor an id would only be searched for in vain.
                    record.*field = Hue::read_bridge_name(values.text(name));
                    if (!(record.*field)) {
                        throw Commands::UsageError(
                            "Error: option 'bridge' must be an address or a bridge id.");
                    }
                } else if constexpr (std::is_same_v<Value, std::optional<Util::Xy>>) {
                    record.*field = option.point(values.text(name));  // read once, here
                } else if constexpr (std::is_same_v<Value, std::vector<std::string>>) {
                    record.*field = values.texts(name);
                } else {
                    using Number = typename Value::value_type;
                    const auto& text = values.text(name);
                    if constexpr (std::is_same_v<Number, Commands::Level>) {
                        record.*field = read_number(text, name, *option.forms);
                    } else {
                        record.*field = static_cast<Number>(
                            read_number(text, name, forms_of<Number>(option)).value);
                    }
                }
            }
        },
        option.field);
}

template <class Record>
std::vector<OptionDeclaration> declarations(const std::vector<Option<Record>>& options) {
    std::vector<OptionDeclaration> declared;
    declared.reserve(options.size());
    for (const auto& option : options) {
        declared.push_back({option.name, option.help, kind_of<Record>(option.field), option.words});
    }
    return declared;
}

// Reads every option of `options` into a new record, in their order.
template <class Record>
Record read_record(const std::vector<Option<Record>>& options, const OptionValues& values,
                   const char* word) {
    Record record;
    if constexpr (!std::is_empty_v<Record>) {  // a record without fields has nothing to read
        for (const auto& option : options) read_option(option, values, word, record);
    }
    return record;
}

}  // namespace details

// A command that talks to no bridge.
template <class Record>
Command make_command(const char* word, const char* description, std::vector<Option<Record>> options,
                     void (*run)(const Record&, const Commands::Settings&,
                                 const Commands::Output&)) {
    auto declared = details::declarations(options);
    return {
        word, description, std::move(declared),
        [word, options = std::move(options), run](const OptionValues& values) -> PreparedCommand {
            const Record record = details::read_record(options, values, word);
            return [record, run](const Invocation& invocation) {
                run(record, invocation.settings, invocation.output);
            };
        }};
}

// A command that talks to the bridge its record names. `check` (when given)
// refuses a record that cannot be carried out, before anything is sent;
// `pins_anew` (when given) tells when the bridge's certificate is to be
// pinned anew rather than checked against its pin.
template <class Record>
Command make_bridge_command(const char* word, const char* description,
                            std::vector<Option<Record>> options,
                            void (*run)(const Record&, const Commands::Settings&,
                                        const Access::Target&, const Commands::Output&),
                            void (*check)(const Record&) = nullptr,
                            bool (*pins_anew)(const Record&) = nullptr) {
    auto declared = details::declarations(options);
    return {word, description, std::move(declared),
            [word, options = std::move(options), run, check,
             pins_anew](const OptionValues& values) -> PreparedCommand {
                const Record record = details::read_record(options, values, word);
                if (check) check(record);
                return [record, run, pins_anew](const Invocation& invocation) {
                    Commands::SearchProgress progress(invocation.output);
                    const Access::Target target = Access::select_target(
                        record.bridge,
                        pins_anew && pins_anew(record) ? Access::PinPolicy::anew
                                                       : Access::PinPolicy::check,
                        invocation.settings, invocation.computed, progress);
                    Commands::run_with_advice(target, [&] {
                        run(record, invocation.settings, target, invocation.output);
                    });
                };
            }};
}

}  // namespace Cli

#endif  // GLOWRIG_CLI_TYPED_OPTIONS_HPP_
