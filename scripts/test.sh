#!/usr/bin/env bash
# Builds glowrig and runs the whole test suite, then builds it again with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs the suite there too,
# and finally runs the discovery and task tests under ThreadSanitizer.
# The tests start bridge simulators on free ports of 127.0.0.1: no root needed.
# The time of each stage but the last is printed at its end; the run ends
# with the last test summary.
set -euo pipefail
cd "$(dirname "$0")/.."

stage_start=$SECONDS
stage_done() {
  echo "== $1: $((SECONDS - stage_start)) s" >&2
  stage_start=$SECONDS
}

# Warnings are errors here, as in every CI build. Line tables are all the
# debug information a failure report needs, and much quicker to build.
bash scripts/build.sh build -DGLOWRIG_WERROR=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
stage_done "build"
(cd build && ctest -j2 --output-on-failure --timeout 300)
stage_done "tests"

# The sanitizer builds need only the tests (and the program they run).
GLOWRIG_TARGETS=glowrig_tests bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
  -DGLOWRIG_SANITIZE=ON -DGLOWRIG_WERROR=ON
stage_done "sanitizer build"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$PWD/../scripts/lsan.supp print_suppressions=0" \
  ctest -j2 --output-on-failure --timeout 600)
stage_done "sanitizer tests"

# The discovery and task code once more under ThreadSanitizer.
bash scripts/tsan.sh -DGLOWRIG_WERROR=ON -DCMAKE_CXX_FLAGS_DEBUG=-g1
