#!/usr/bin/env bash
# Configures and builds glowrig.
# Usage: scripts/build.sh [build-dir] [extra cmake args...]
# GLOWRIG_TARGETS (space-separated) builds only those targets.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
targets=()
for t in ${GLOWRIG_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$dir" -j2 "${targets[@]}"
