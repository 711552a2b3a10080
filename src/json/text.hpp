#ifndef GLOWRIG_JSON_TEXT_HPP_
#define GLOWRIG_JSON_TEXT_HPP_

#include <string>

#include "json/value.hpp"

namespace Json {

// How text() writes a number that is not an integer.
enum class Numbers {
    // With 17 significant digits ("%.17g": 0.4 is 0.40000000000000002), as
    // request bodies, the bridge's own texts glowrig shows and the simulator's
    // replies have always been written.
    full,
    // In the shortest form that reads back to the same double (0.4, 1e+300),
    // as glowrig's own JSON printouts write them.
    shortest,
};

// The value as one line of JSON text, as glowrig writes every JSON text:
// members in name order, no blanks; in strings '"', '\\' and the controls
// below U+0020 escaped (\b \f \n \r \t, else \u00XX in upper-case hex),
// every other byte as it is;
// integers as they are, other numbers as `numbers` says, a number that is not
// finite as null; a value made by decimal() as that function says.
std::string text(const Value& value, Numbers numbers = Numbers::full);

// A number that text() writes rounded to `places` decimals (0-9) in its
// shortest form, without trailing zeros: decimal(0.64000001, 4) is written
// 0.64, decimal(0.31269, 4) 0.3127, decimal(0.5, 4) 0.5, decimal(1, 4) 1,
// decimal(-0.00001, 4) 0; a number that is not finite null. For bodies that
// send a value to a set precision rather than with every digit of a double.
// Only text() reads it: it is held as a binary value, which no reader of a
// parsed document meets.
Value decimal(double number, int places);

}  // namespace Json

#endif  // GLOWRIG_JSON_TEXT_HPP_
