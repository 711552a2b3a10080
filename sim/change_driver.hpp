#ifndef GLOWRIG_SIM_CHANGE_DRIVER_HPP_
#define GLOWRIG_SIM_CHANGE_DRIVER_HPP_

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace Sim {

class SimBridge;

// What a ChangeDriver does.
struct ChangePlan {
    double per_second = 1;  // > 0
    long count = 0;         // changes in all; 0: no end
    double seconds = 0;     // how long it changes, from its first change; 0: no end
    // Begins only once the bridge serves an event stream, so that its
    // watcher sees every change.
    bool when_watched = false;
};

// Changes a bridge's lights by itself, as people and switches would, for
// tests and measurements: round-robin over the lights in the order their
// collection holds them, each change turning one light on and setting its
// "bri" to the value after its current one in 1..254 (after 254 and after a
// value outside the range, 1), through SimBridge::update(), so that each is
// one event. Changes come the plan's `per_second` times a second on a steady
// schedule: one that fell behind catches up without sleeping.
class ChangeDriver {
public:
    // Starts changing `bridge` as `plan` says; it stops at the plan's end or
    // when destroyed.
    ChangeDriver(std::shared_ptr<SimBridge> bridge, ChangePlan plan);
    // Stops the changes and waits for the one being made.
    ~ChangeDriver();
    ChangeDriver(const ChangeDriver&) = delete;
    ChangeDriver& operator=(const ChangeDriver&) = delete;

    // The changes made so far. A bridge without lights gets none.
    long changes() const { return m_changes; }

private:
    void run();

    const std::shared_ptr<SimBridge> m_bridge;
    const ChangePlan m_plan;
    std::atomic<long> m_changes{0};
    std::mutex m_mutex;
    std::condition_variable m_stopping;
    bool m_stop = false;  // guarded by m_mutex
    std::thread m_thread;
};

}  // namespace Sim

#endif  // GLOWRIG_SIM_CHANGE_DRIVER_HPP_
