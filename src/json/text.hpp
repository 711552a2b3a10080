#ifndef GLOWRIG_JSON_TEXT_HPP_
#define GLOWRIG_JSON_TEXT_HPP_

#include <string>

#include "json/value.hpp"

namespace Json {

// The value as one line of JSON text, as glowrig writes every JSON text:
// members in name order, no blanks; in strings '"', '\\' and the controls
// below U+0020 escaped (\b \f \n \r \t, else \u00XX in upper-case hex),
// every other byte as it is;
// integers as they are, other numbers with 17 significant digits ("%.17g":
// 0.4 is 0.40000000000000002), a number that is not finite as null.
std::string text(const Value& value);

}  // namespace Json

#endif  // GLOWRIG_JSON_TEXT_HPP_
