#include "cli/entry.hpp"

int main(int argc, char** argv) { return Cli::run(argc, argv); }
