#include <malloc.h>

#include "cli/entry.hpp"

int main(int argc, char** argv) {
    // One malloc arena for every thread. A reply is parsed on a worker thread,
    // whose arena of its own would grow a page at a time (a system call each,
    // over a thousand for a large bridge's state); glowrig's threads mostly
    // wait, so they have nothing to gain from arenas of their own.
    mallopt(M_ARENA_MAX, 1);
    return Cli::run(argc, argv);
}
