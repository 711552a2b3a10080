#ifndef GLOWRIG_COMMANDS_PROGRESS_HPP_
#define GLOWRIG_COMMANDS_PROGRESS_HPP_

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "access/bridge_selection.hpp"
#include "commands/output.hpp"

namespace Commands {

// A one-line countdown on a terminal while a wait of known length runs, e.g.
// "Searching for bridges... 3 s", erased when the object is destroyed. It
// runs on the waiting thread: the wait calls tick() as it goes. Nothing is
// written when `fd` (standard error) is not a terminal, nor for a wait that
// ends within a quarter of a second. Standard output is never touched.
class Countdown {
public:
    // How often a wait should call tick().
    static constexpr std::chrono::milliseconds kTick{200};

    Countdown(std::string label, std::chrono::milliseconds length, int fd = STDERR_FILENO);
    ~Countdown();
    Countdown(const Countdown&) = delete;
    Countdown& operator=(const Countdown&) = delete;

    // Shows the seconds left, once the wait has run a quarter of a second and
    // whenever the number changes.
    void tick();

    // Waits until the end of the countdown, ticking.
    void wait_out();

private:
    void write_text(const std::string& text) const;

    std::string m_label;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_end;
    int m_fd;
    bool m_terminal;
    long long m_shown = -1;  // the seconds on the line; -1 while nothing shows
};

// Shows what choosing a bridge tells: a countdown on the error stream's
// terminal while a search runs ("Searching for bridges... 3 s"), and when
// several bridges were found and none was named, the line that asks for
// --bridge (a note of `output`) and on its error stream each bridge found,
// one a line ("  ID  ADDRESS", the address as Hue::bridge_text writes it).
// Holds a reference: `output` must outlive it.
class SearchProgress : public Access::Progress {
public:
    explicit SearchProgress(const Output& output, int fd = STDERR_FILENO);

    void search_started(std::chrono::milliseconds window) override;
    void tick() override;
    void search_ended() override;
    void several_found(const std::vector<Hue::Bridge>& found) override;

private:
    const Output& m_output;
    int m_fd;
    std::optional<Countdown> m_countdown;  // while a search runs
};

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_PROGRESS_HPP_
