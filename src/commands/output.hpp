#ifndef GLOWRIG_COMMANDS_OUTPUT_HPP_
#define GLOWRIG_COMMANDS_OUTPUT_HPP_

#include <ostream>
#include <string>

namespace Commands {

// Where a command writes. The printout (text, or with JSON one document on
// one line) goes to `out`; lines of the text printout that report progress or
// a failure ("User creation failed") go to `out` too in text mode and to
// `err` in JSON mode, so that standard output then holds nothing but the
// document. Holds references: the streams must outlive it.
class Output {
public:
    Output(std::ostream& out, std::ostream& err, bool json)
        : m_out(out), m_err(err), m_json(json) {}

    // True when the JSON printout was asked for.
    bool json() const { return m_json; }

    // The stream of the printout.
    std::ostream& out() const { return m_out; }

    // The stream of diagnostics: always standard error's.
    std::ostream& err() const { return m_err; }

    // Writes `line` and a line end where a line of the text printout that is
    // not part of the JSON document belongs (see above).
    void note(const std::string& line) const { (m_json ? m_err : m_out) << line << std::endl; }

private:
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_json;
};

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_OUTPUT_HPP_
