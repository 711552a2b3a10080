#!/usr/bin/env bash
# Builds glowrig, its simulator and the tests with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the whole test suite there; then runs
# the suites of the concurrent code (discovery, the HTTP module, the client's
# task chains) in a build with ThreadSanitizer. The tests start bridge
# simulators on free ports of 127.0.0.1: no root needed. The time of each
# stage but the last is printed at its end; the run ends with the last test
# summary.
set -euo pipefail
cd "$(dirname "$0")/.."

stage_start=$SECONDS
stage_done() {
  echo "== $1: $((SECONDS - stage_start)) s" >&2
  stage_start=$SECONDS
}

# The two builds run at once: together they keep both cores busy through each
# other's links and lone long translation units. The ThreadSanitizer build
# runs in a process group of its own, which is stopped whole when this script
# ends early. The tests then have the processor to themselves.
tsan_log=$(mktemp)
setsid bash scripts/tsan.sh build -DGLOWRIG_WERROR=ON -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
  >"$tsan_log" 2>&1 &
tsan_build=$!
tsan_running=1
trap '[ -z "$tsan_running" ] || kill -- -"$tsan_build" 2>/dev/null; rm -f "$tsan_log"' EXIT

# Warnings are errors here, as in every CI build. Line tables are all the
# debug information a sanitizer report needs, and much quicker to build.
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
  -DGLOWRIG_SANITIZE=ON -DGLOWRIG_WERROR=ON
tsan_status=0
wait "$tsan_build" || tsan_status=$?
tsan_running=
if [ "$tsan_status" -ne 0 ]; then
  cat "$tsan_log" >&2
  echo "== the ThreadSanitizer build failed" >&2
  exit 1
fi
stage_done "both sanitizer builds"
# Three at a time on two cores: many tests spend most of their time waiting
# for a simulator or a time-out.
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$PWD/../scripts/lsan.supp print_suppressions=0" \
  ctest -j3 --output-on-failure --timeout 600)
stage_done "sanitizer tests"

bash scripts/tsan.sh run
