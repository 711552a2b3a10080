#include "hue/schedule_time.hpp"

#include <algorithm>
#include <iomanip>
#include <locale>
#include <sstream>

namespace Hue {
namespace {

// Placed after the text in the reading stream. std::get_time stops without an error when the
// text ends inside its pattern ("2014-05-01" against the date-time pattern leaves the stream
// good); facing this character instead, the pattern fails. No pattern or number accepts it.
constexpr char kEndMark = '\0';

std::tm initial_tm() {
    const std::time_t zero = 0;
    std::tm broken_down{};
    gmtime_r(&zero, &broken_down);
    return broken_down;
}

bool is_digit(std::istream::int_type c) { return c >= '0' && c <= '9'; }

// Reads an unsigned 16-bit decimal number into `number` as the stream reads one. Returns whether
// the number began with a digit: the stream also takes a sign, which the text form never has.
bool read_number(std::istream& in, uint16_t& number) {
    const bool digit_first = is_digit(in.peek());
    in >> number;
    return digit_first;
}

// Moves the read position over as many characters as `expected` has. Returns whether they
// were exactly those characters.
bool step_over(std::istream& in, const char* expected) {
    bool matched = true;
    for (; *expected != '\0'; ++expected) {
        if (in.get() != std::istream::traits_type::to_int_type(*expected)) matched = false;
    }
    return matched;
}

// Whether everything before the end mark has been read, without a failure.
bool at_end(std::istream& in, std::size_t text_length) {
    return !in.fail() && in.tellg() == std::streampos(static_cast<std::streamoff>(text_length));
}

}  // namespace

ScheduleTime::ScheduleTime()
    : kind(ScheduleTimeKind::none), time(initial_tm()), random(initial_tm()), count(0) {}

void ScheduleTime::parse_time(const std::string& text) {
    *this = ScheduleTime();
    if (text.empty()) return;  // no first character to tell the form by: stays none

    std::istringstream in(text + kEndMark);
    in.imbue(std::locale::classic());
    in >> std::noskipws;  // every character of a pattern must match literally, spaces included

    bool in_form = true;  // false once a character was accepted that the form does not have
    const std::istream::int_type first = in.get();
    if (first == 'P') {
        kind = ScheduleTimeKind::timer;
    } else if (first == 'R') {
        kind = ScheduleTimeKind::recurring;
        const bool digits = read_number(in, count);
        const bool separator = step_over(in, "/P");
        in_form = digits && separator;
    } else if (first == 'W') {
        kind = ScheduleTimeKind::weekly;
        uint16_t mask = 0;
        const bool digits = read_number(in, mask);
        weekdays = std::bitset<8>(mask);  // keeps the low 8 bits
        const bool separator = step_over(in, "/");
        in_form = digits && separator;
    } else {
        kind = ScheduleTimeKind::absolute;
        in.unget();
        in >> std::get_time(&time, "%Y-%m-%dT%H:%M:%S");
    }
    if (kind != ScheduleTimeKind::absolute) in >> std::get_time(&time, "T%H:%M:%S");
    if (!at_end(in, text.size())) in >> std::get_time(&random, "A%H:%M:%S");

    if (!in_form || !at_end(in, text.size())) m_verbatim = text;
}

std::string ScheduleTime::format_time() const {
    if (m_verbatim) return *m_verbatim;
    if (kind == ScheduleTimeKind::none) return std::string();

    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::setfill('0');
    switch (kind) {
        case ScheduleTimeKind::recurring:
            out << 'R' << std::setw(2) << std::min(count, uint16_t{99}) << "/P";
            break;
        case ScheduleTimeKind::weekly:
            out << 'W' << std::setw(3) << weekdays.to_ulong() << '/';
            break;
        case ScheduleTimeKind::timer:
            out << 'P';
            break;
        case ScheduleTimeKind::absolute:
            // put_time writes a year before 1000 with fewer than four digits, so "0999" would
            // come back as "999"; the year is written here, zero-padded, and the rest by pattern.
            out << std::setw(4) << time.tm_year + 1900 << std::put_time(&time, "-%m-%dT%H:%M:%S");
            break;
        case ScheduleTimeKind::none:
            break;
    }
    if (kind != ScheduleTimeKind::absolute) out << std::put_time(&time, "T%H:%M:%S");
    if (random.tm_hour != 0 || random.tm_min != 0 || random.tm_sec != 0) {
        out << std::put_time(&random, "A%H:%M:%S");
    }
    return out.str();
}

}  // namespace Hue
