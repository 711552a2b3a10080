#include "cli/number_option.hpp"

#include <climits>
#include <optional>
#include <vector>

#include <boost/algorithm/string/predicate.hpp>

#include "commands/usage_error.hpp"

namespace Cli {
namespace {

// The whole number `digits` writes, nothing but ASCII digits; a number too
// wide for any option is LLONG_MAX, outside every range.
std::optional<long long> whole(const std::string& digits) {
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    long long value = 0;
    for (const char digit : digits) {
        if (value > (LLONG_MAX - 9) / 10) return LLONG_MAX;
        value = value * 10 + (digit - '0');
    }
    return value;
}

// "a whole number 0-255, +N or -N to change it by N (1-254) or N% (0-100)".
std::string forms_text(const NumberForms& forms) {
    std::vector<std::string> taken;
    std::string number = "a whole number " + std::to_string(forms.low);
    number += forms.high >= INT_MAX ? " or more" : "-" + std::to_string(forms.high);
    if (forms.unit != nullptr) number += std::string(", with or without ") + forms.unit;
    taken.push_back(number);
    if (forms.step != 0) {
        taken.push_back("+N or -N to change it by N (1-" + std::to_string(forms.step) + ")");
    }
    if (forms.percent) taken.push_back("N% (0-100)");
    std::string text;
    for (std::size_t i = 0; i < taken.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == taken.size() ? " or " : ", ") + taken[i];
    }
    return text;
}

[[noreturn]] void refuse(const char* name, const NumberForms& forms) {
    throw Commands::UsageError(std::string("Error: option '") + name + "' must be " +
                               forms_text(forms) + ".");
}

}  // namespace

Commands::Level read_number(const std::string& text, const char* name, const NumberForms& forms) {
    std::string number = text;
    if (forms.unit != nullptr && boost::algorithm::iends_with(number, forms.unit)) {
        number.erase(number.size() - std::char_traits<char>::length(forms.unit));
    }
    if (forms.percent && !number.empty() && number.back() == '%') {
        const auto share = whole(number.substr(0, number.size() - 1));
        if (!share || *share > 100) refuse(name, forms);
        return {static_cast<int>((*share * 254 + 50) / 100), false};
    }
    const bool signed_number = !number.empty() && (number[0] == '+' || number[0] == '-');
    const auto value = whole(signed_number ? number.substr(1) : number);
    if (!value) refuse(name, forms);
    if (signed_number && forms.step != 0) {
        if (*value < 1 || *value > forms.step) refuse(name, forms);
        return {static_cast<int>(number[0] == '-' ? -*value : *value), true};
    }
    // A negative number, or one outside the field, is refused by the range
    // it must be in; "+5" where no step is taken is in no form at all.
    if (number[0] == '+') refuse(name, forms);
    if ((number[0] == '-' && *value != 0) || *value < forms.low || *value > forms.high) {
        throw Commands::UsageError(std::string("Error: option '") + name + "' must be between " +
                                   std::to_string(forms.low) + " and " +
                                   std::to_string(forms.high) + ".");
    }
    return {static_cast<int>(*value), false};
}

}  // namespace Cli
