#ifndef GLOWRIG_COMMANDS_PROGRESS_HPP_
#define GLOWRIG_COMMANDS_PROGRESS_HPP_

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace Commands {

// A one-line countdown on standard error while a wait of known length runs,
// e.g. "Searching for bridges... 3 s", erased when the object is destroyed.
// Nothing is written when standard error is not a terminal, nor for a wait
// that ends within a quarter of a second. Standard output is never touched.
class Countdown {
public:
    Countdown(std::string label, std::chrono::milliseconds length);
    ~Countdown();
    Countdown(const Countdown&) = delete;
    Countdown& operator=(const Countdown&) = delete;

private:
    void show();

    std::string m_label;
    std::chrono::steady_clock::time_point m_end;
    std::mutex m_mutex;
    std::condition_variable m_stop;
    bool m_stopped = false;
    std::thread m_thread;
};

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_PROGRESS_HPP_
