#include "cli/console.hpp"

#include <algorithm>
#include <iostream>
#include <streambuf>
#include <string>

namespace cli {
namespace {

// A wide stream buffer without a buffer of its own: every write is encoded
// to UTF-8 and handed to the narrow buffer at once, which keeps the order of
// narrow and wide writes.
class Utf8Buf : public std::wstreambuf {
public:
    explicit Utf8Buf(std::streambuf* target) : m_target(target) {}

protected:
    int_type overflow(int_type ch) override {
        if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
        char bytes[4];
        const std::streamsize n = encode(static_cast<char32_t>(ch), bytes);
        if (m_target->sputn(bytes, n) != n) return traits_type::eof();
        return ch;
    }

    // A whole text at once (the base class would take it character by
    // character, each a write of its own to the narrow buffer). Returns the
    // number of characters written.
    std::streamsize xsputn(const char_type* text, std::streamsize count) override {
        constexpr std::streamsize kChunk = 256;  // characters encoded per write
        char bytes[kChunk * 4];
        std::streamsize done = 0;
        while (done < count) {
            const std::streamsize chunk = std::min(kChunk, count - done);
            std::streamsize size = 0;
            for (std::streamsize i = 0; i < chunk; ++i) {
                size += encode(static_cast<char32_t>(text[done + i]), bytes + size);
            }
            if (m_target->sputn(bytes, size) != size) return done;
            done += chunk;
        }
        return done;
    }

    int sync() override { return m_target->pubsync(); }

private:
    static std::streamsize encode(char32_t c, char* out) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        if (c < 0x80) {
            out[0] = static_cast<char>(c);
            return 1;
        }
        if (c < 0x800) {
            out[0] = static_cast<char>(0xC0 | (c >> 6));
            out[1] = static_cast<char>(0x80 | (c & 0x3F));
            return 2;
        }
        if (c < 0x10000) {
            out[0] = static_cast<char>(0xE0 | (c >> 12));
            out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out[2] = static_cast<char>(0x80 | (c & 0x3F));
            return 3;
        }
        out[0] = static_cast<char>(0xF0 | (c >> 18));
        out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[3] = static_cast<char>(0x80 | (c & 0x3F));
        return 4;
    }

    std::streambuf* m_target;
};

}  // namespace

bool setup_console() {
    std::ios_base::sync_with_stdio(true);
    std::streambuf* narrow = std::cout.rdbuf();
    if (narrow == nullptr) return false;
    // Lives for the whole process: std::wcout may be flushed at exit.
    static Utf8Buf buffer(narrow);
    std::wcout.rdbuf(&buffer);
    return std::wcout.good();
}

}  // namespace cli
