// A stand-in for libFuzzer's driver: runs the fuzz target named first once on
// each file it is given, or on each file of a directory it is given, in name
// order. The normal build links every target into this one program, so a
// target that stops building, or fails on an input of its seed corpus, fails
// the test suite.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "replay_targets.hpp"

namespace {

namespace fs = std::filesystem;

// The files named by `path`: the file itself, or a directory's regular files.
std::vector<fs::path> inputs_of(const fs::path& path) {
    if (!fs::is_directory(path)) return {path};
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(path)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The target called `name`, or null.
const ReplayTarget* target_named(const std::string& name) {
    for (std::size_t i = 0; i < kReplayTargetCount; ++i) {
        if (name == kReplayTargets[i].name) return &kReplayTargets[i];
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s TARGET FILE|DIRECTORY...\n", argv[0]);
        return 2;
    }
    const ReplayTarget* target = target_named(argv[1]);
    if (!target) {
        std::fprintf(stderr, "%s: no such fuzz target\n", argv[1]);
        return 2;
    }
    std::size_t runs = 0;
    for (int i = 2; i < argc; ++i) {
        std::error_code error;
        if (!fs::exists(argv[i], error)) {
            std::fprintf(stderr, "%s: no such file or directory\n", argv[i]);
            return 1;
        }
        for (const auto& file : inputs_of(argv[i])) {
            std::ifstream in(file, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            if (!in.good() && !in.eof()) {
                std::fprintf(stderr, "%s: cannot be read\n", file.c_str());
                return 1;
            }
            std::fprintf(stderr, "running %s\n", file.c_str());
            target->run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            ++runs;
        }
    }
    // An empty corpus would make the replay prove nothing.
    if (runs == 0) {
        std::fprintf(stderr, "no inputs found\n");
        return 1;
    }
    std::fprintf(stderr, "%zu inputs ran\n", runs);
    return 0;
}
