#!/usr/bin/env bash
# Builds glowrig, its simulator and the tests with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the whole test suite there. The tests
# start bridge simulators on free ports of 127.0.0.1: no root needed. The time
# of the build is printed at its end; the run ends with the test summary.
set -euo pipefail
cd "$(dirname "$0")/.."

stage_start=$SECONDS
# Warnings are errors here, as in every CI build. Line tables are all the
# debug information a sanitizer report needs, and much quicker to build.
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
  -DGLOWRIG_SANITIZE=ON -DGLOWRIG_WERROR=ON
echo "== sanitizer build: $((SECONDS - stage_start)) s" >&2
# Three at a time on two cores: many tests spend most of their time waiting
# for a simulator or a time-out.
cd build-asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$PWD/../scripts/lsan.supp print_suppressions=0" \
  ctest -j3 --output-on-failure --timeout 600
