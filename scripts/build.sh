#!/usr/bin/env bash
# Configures and builds glowrig.
# Usage: scripts/build.sh [build-dir] [extra cmake args...]
# GLOWRIG_TARGETS (space-separated) builds only those targets.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
# clang++ when it is installed (scripts/setup.sh installs it): it builds this
# code in about half the time g++ takes. CXX names another compiler.
if [ -z "${CXX:-}" ] && command -v clang++ >/dev/null; then
  export CXX=clang++
fi
# Unity batches (CMakeLists.txt): much quicker from scratch; an argument
# -DGLOWRIG_UNITY=OFF builds file by file.
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLOWRIG_UNITY=ON "$@" >/dev/null
targets=()
for t in ${GLOWRIG_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$dir" -j2 "${targets[@]}"
