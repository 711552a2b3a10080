// A stand-in for libFuzzer's driver: runs a fuzz target once on each file it
// is given, or on each file of a directory it is given, in name order. The
// normal build links every target with it, so a target that stops building,
// or fails on an input of its seed corpus, fails the test suite.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE|DIRECTORY...\n", argv[0]);
        return 2;
    }
    std::size_t runs = 0;
    for (int i = 1; i < argc; ++i) {
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
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
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
