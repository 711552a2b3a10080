#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang++ (in build-fuzz) and runs
# each for a bounded time on a copy of its seed corpus, then prints one line
# per target: executions, seconds, executions per second, the corpus size at
# the end (files) and the result. Inputs that crashed a target are kept in
# build-fuzz/findings/. Exits 1 when any target found something.
# Not part of the CI test run: it takes seconds-per-target times the number of
# targets.
#
# Usage: scripts/fuzz.sh [seconds-per-target] [target...]
#   seconds-per-target  default 60
#   target              default: every target (each fuzz/fuzz_*.cpp)
# GLOWRIG_FUZZ_RUNS=N stops each target after N executions (seconds-per-target
# stays the upper bound). Run it under `nice -n 19` on a shared machine.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
runs_limit=()
[ -z "${GLOWRIG_FUZZ_RUNS:-}" ] || runs_limit=(-runs="$GLOWRIG_FUZZ_RUNS")
shift || true
if [ "$#" -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for source in fuzz/fuzz_*.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi

# clang++ with the libFuzzer runtime (Debian 12: clang, libclang-rt-14-dev).
has_libfuzzer() {
    command -v clang++ >/dev/null 2>&1 || return 1
    printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' |
        clang++ -x c++ -fsanitize=fuzzer - -o /dev/null >/dev/null 2>&1
}
if ! has_libfuzzer; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq clang libclang-rt-14-dev >/dev/null
fi

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DGLOWRIG_FUZZ=ON -DGLOWRIG_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz -j2 --target "${targets[@]}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
findings="build-fuzz/findings"
mkdir -p "$findings"

failed=0
results=()
for target in "${targets[@]}"; do
    corpus="$work/$target"
    mkdir -p "$corpus" "$work/artifacts"
    cp -r "fuzz/corpus/$target/." "$corpus/" 2>/dev/null || true
    echo "== $target: ${seconds} s" >&2
    status=0
    started="$(date +%s.%N)"
    "build-fuzz/fuzz/$target" -max_total_time="$seconds" "${runs_limit[@]}" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/artifacts/$target-" "$corpus" \
        >"$work/$target.log" 2>&1 || status=$?
    elapsed="$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.0f", b - a }')"
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log" | tail -n 1)"
    rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/$target.log" | tail -n 1)"
    corpus_files="$(find "$corpus" -type f | wc -l)"
    found="$(ls "$work/artifacts" 2>/dev/null | grep "^$target-" || true)"
    if [ "$status" -eq 0 ] && [ -z "$found" ]; then
        result="clean"
    else
        failed=1
        result="FAILED (status $status)"
        for file in $found; do
            cp "$work/artifacts/$file" "$findings/"
            result="$result $findings/$file"
        done
        cp "$work/$target.log" "$findings/$target.log"
        tail -n 40 "$work/$target.log" >&2
    fi
    results+=("$(printf '%-26s %12s %8s %8s %7s  %s' "$target" "${runs:-?}" "$elapsed" \
        "${rate:-?}" "$corpus_files" "$result")")
done

printf '%-26s %12s %8s %8s %7s  %s\n' "target" "executions" "seconds" "exec/s" "corpus" "result"
printf '%s\n' "${results[@]}"
exit "$failed"
