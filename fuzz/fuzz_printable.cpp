// Runs printable() over arbitrary bytes: what it returns must be valid UTF-8
// without a single control character, must come back unchanged from a second
// pass, and must keep every input that already was such text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.hpp"
#include "util/printable.hpp"
#include "util/text.hpp"

using FuzzSupport::require;

namespace {

// Whether `text` (valid UTF-8) holds a C0, DEL or C1 control.
bool has_control(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) return true;
        // U+0080 to U+009F are encoded as C2 80 to C2 9F.
        if (byte == 0xC2 && i + 1 < text.size() &&
            static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string input = FuzzSupport::as_text(data, size);
    const std::string output = Util::printable(input);
    require(Util::is_valid_utf8(output), "the output is valid UTF-8");
    require(!has_control(output), "the output holds no control character");
    require(Util::printable(output) == output, "a second pass changes nothing");
    if (Util::is_valid_utf8(input) && !has_control(input)) {
        require(output == input, "printable text is kept as it is");
    }
    return 0;
}
