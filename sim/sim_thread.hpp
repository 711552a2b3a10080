#ifndef GLOWRIG_SIM_SIM_THREAD_HPP_
#define GLOWRIG_SIM_SIM_THREAD_HPP_

#include <thread>
#include <utility>

#include <pthread.h>

namespace Sim {

// The name of every thread the simulator runs, so that a test hosting it can
// tell them from the threads of the code under test.
constexpr const char* kThreadName = "glowrig-sim";

// A thread of the simulator running `body`, named before this returns (and
// the threads it starts inherit the name as they start).
template <class Body>
std::thread sim_thread(Body&& body) {
    std::thread thread(std::forward<Body>(body));
    pthread_setname_np(thread.native_handle(), kThreadName);
    return thread;
}

}  // namespace Sim

#endif  // GLOWRIG_SIM_SIM_THREAD_HPP_
