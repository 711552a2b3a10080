#!/usr/bin/env bash
# Builds glowrig and shows its general help.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh build
./build/src/glowrig "$@"
