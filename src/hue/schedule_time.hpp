#ifndef GLOWRIG_HUE_SCHEDULE_TIME_HPP_
#define GLOWRIG_HUE_SCHEDULE_TIME_HPP_

#include <bitset>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace Hue {

// The form of a schedule time, as its text form shows it:
//   absolute   2014-05-01T07:00:00   a date and a time of day
//   recurring  R05/PT00:10:00        a count of repetitions and a period
//   weekly     W124/T06:30:00        a day mask and a time of day
//   timer      PT00:30:00            a period
// Every form may end in a random part "A00:05:00". none means no time has been read.
enum class ScheduleTimeKind : int32_t {
    none = 0,
    absolute = 1,
    recurring = 2,
    weekly = 3,
    timer = 4
};

// The time of a schedule, read from and written back to the text form the bridge uses.
// A plain value: copies are independent.
//
// A text is understood when it is one of the forms above, read to its end; its numbers may have
// fewer digits than format_time() writes "W3/T6:30:00", but no sign and no surrounding space.
// A text that is not understood ("2014-05-01", "PT10:00", "R/PT00:10:00") is kept, and
// format_time() returns it exactly as it was read, so that saving a schedule never rewrites a
// time the program does not understand. The fields still hold what the reader got from such a
// text before it stopped. Assigning fields directly does not drop a kept text; parse_time() or
// assigning a fresh ScheduleTime does.
struct ScheduleTime {
    // A record of kind none, empty weekdays, count 0, and time and random both
    // 1970-01-01 00:00:00 (time 0 broken down as UTC).
    ScheduleTime();

    ScheduleTimeKind kind;
    std::bitset<8> weekdays;  // day mask of a weekly time, carried as a number
    std::tm time;             // date and time of an absolute time; hours to seconds otherwise
    std::tm random;           // the random part; only hours, minutes and seconds are used
    uint16_t count;           // repetitions of a recurring time

    // Resets the record to its initial value and reads `text` into it. Never fails: what cannot
    // be read keeps its initial value, and a form found by the first character stays set.
    // Numbers read as unsigned 16-bit values; weekdays keeps the low 8 bits of the day mask.
    // The empty text reads as kind none.
    void parse_time(const std::string& text);

    // Returns the text form of the record: the text given to parse_time() when it was kept (not
    // understood to its end), the empty text for kind none, and otherwise the form with every
    // number zero-padded to its width (count 2 digits, day mask 3, year 4, the rest 2), a count
    // above 99 written as 99, and the random part left out when it is 00:00:00.
    std::string format_time() const;

    // True unless the text last read was kept because it was not understood.
    bool understood() const { return !m_verbatim; }

private:
    std::optional<std::string> m_verbatim;  // the text last read when it was not understood
};

}  // namespace Hue

#endif  // GLOWRIG_HUE_SCHEDULE_TIME_HPP_
