#ifndef GLOWRIG_SIM_CHANGE_DRIVER_HPP_
#define GLOWRIG_SIM_CHANGE_DRIVER_HPP_

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace Sim {

class SimBridge;

// Changes a bridge's lights by itself, as people and switches would, for
// tests and measurements: round-robin over the lights in the order their
// collection holds them, each change turning one light on and setting its
// "bri" to the value after its current one in 1..254 (after 254 and after a
// value outside the range, 1), through SimBridge::update(), so that each is
// one event. Changes come `per_second` times a second on a steady schedule:
// one that fell behind catches up without sleeping.
class ChangeDriver {
public:
    // Starts changing `bridge`, stopping after `count` changes (0: only when
    // destroyed); with `when_watched`, only once the bridge serves an event
    // stream, so that its watcher sees every change. REQUIRES: per_second > 0.
    ChangeDriver(std::shared_ptr<SimBridge> bridge, double per_second, long count,
                 bool when_watched = false);
    // Stops the changes and waits for the one being made.
    ~ChangeDriver();
    ChangeDriver(const ChangeDriver&) = delete;
    ChangeDriver& operator=(const ChangeDriver&) = delete;

    // The changes made so far. A bridge without lights gets none.
    long changes() const { return m_changes; }

private:
    void run();

    const std::shared_ptr<SimBridge> m_bridge;
    const double m_per_second;
    const long m_count;
    const bool m_when_watched;
    std::atomic<long> m_changes{0};
    std::mutex m_mutex;
    std::condition_variable m_stopping;
    bool m_stop = false;  // guarded by m_mutex
    std::thread m_thread;
};

}  // namespace Sim

#endif  // GLOWRIG_SIM_CHANGE_DRIVER_HPP_
