#ifndef GLOWRIG_FUZZ_REPLAY_TARGETS_HPP_
#define GLOWRIG_FUZZ_REPLAY_TARGETS_HPP_

#include <cstddef>
#include <cstdint>

// A fuzz target of the replay program: its name (the file name fuzz/NAME.cpp)
// and its entry point, LLVMFuzzerTestOneInput renamed.
struct ReplayTarget {
    const char* name;
    int (*run)(const uint8_t* data, std::size_t size);
};

// Every target, in name order (replay_targets.cpp, made by fuzz/CMakeLists.txt).
extern const ReplayTarget kReplayTargets[];
extern const std::size_t kReplayTargetCount;

#endif  // GLOWRIG_FUZZ_REPLAY_TARGETS_HPP_
