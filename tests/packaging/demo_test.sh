#!/usr/bin/env bash
# Runs scripts/demo.sh with the programs of BUILD_DIR as README's first five
# minutes do: "http" as written, "https" with --https. Checks what it prints,
# that it leaves the user's credentials folder alone and removes what it
# made. "sim" checks the simulator's own command line: --help, a fixture that
# names no id served over TLS, a fixture that is not JSON, and rates and
# counts of changes it refuses.
# The demo runs in a network namespace of its own where one can be made, so
# that its fixed ports (127.0.0.2:1900 and :5354) meet no other run's.
# Usage: demo_test.sh http|https|sim BUILD_DIR
set -euo pipefail
part=$1
build=$(cd "$2" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "$*"; exit 1; }

# Runs "$@" with only a loopback interface, when a namespace can be made.
isolated() {
  local option
  if command -v ip >/dev/null; then
    for option in -n -rn; do
      if unshare "$option" true 2>/dev/null; then
        unshare "$option" bash -c 'ip link set lo up && exec "$@"' bash "$@"
        return
      fi
    done
  fi
  "$@"
}

# The demo with its arguments "$@", in a home of its own: its output in
# $scratch/out; fails unless it ends with status 0.
demo() {
  mkdir -p "$scratch/home" "$scratch/tmp"
  status=0
  (
    unset XDG_CONFIG_HOME
    export HOME=$scratch/home TMPDIR=$scratch/tmp GLOWRIG_DEMO_BUILD=$build
    isolated bash "$source_dir/scripts/demo.sh" "$@"
  ) >"$scratch/out" 2>"$scratch/err" || status=$?
  [ "$status" -eq 0 ] || fail "demo.sh $* ended with $status: $(cat "$scratch/out" "$scratch/err")"
  [ -z "$(ls -A "$scratch/home")" ] || fail "demo.sh $* wrote into the home: $(find "$scratch/home")"
  [ -z "$(ls -A "$scratch/tmp")" ] || fail "demo.sh $* left files behind: $(find "$scratch/tmp")"
}

# Fails unless the demo's output holds the line $1 (a grep pattern).
shows() {
  grep -qx -- "$1" "$scratch/out" || fail "no line '$1' in: $(cat "$scratch/out")"
}

case $part in
  http)
    demo
    shows "== glowrig bridges"
    # A plain bridge off port 80 is not announced by mDNS: the id is the one
    # its device description gives, in lower case.
    shows "0200aafffe0a1b2c    127\.0\.0\.2:[0-9]*.02:00:aa:0a:1b:2c"
    shows "== glowrig config --auth --bridge=127\.0\.0\.2:[0-9]*"
    shows "User created"
    shows "== glowrig state --bridge=127\.0\.0\.2:[0-9]*"
    shows "  Name:                    Living room bridge"
    shows "GET /api/nupnp  #[0-9]*"
    shows 'POST /api {"devicetype":"glowrig","username":"[^"]*"} #[0-9]*'
    shows "GET /api/[^/]* #[0-9]*"
    ;;
  https)
    demo --https light --id=1 --off
    ! grep -q "== glowrig bridges" "$scratch/out" || fail "the HTTPS demo searched for bridges"
    shows "== glowrig config --auth --bridge=https://127\.0\.0\.2:[0-9]*"
    shows "User created"
    shows "== glowrig light --id=1 --off --bridge=https://127\.0\.0\.2:[0-9]*"
    shows "    On:                    0"
    # The first contact reads the id the certificate must name; the command
    # then runs on one connection of its own.
    shows "GET /api/config  #1"
    shows 'PUT /api/[^/]*/lights/1/state {"on":false} #2'
    ;;
  sim)
    sim=$build/sim/glowrig-sim
    "$sim" --help >"$scratch/out" 2>"$scratch/err" || fail "glowrig-sim --help ended with $?"
    grep -q "^usage: glowrig-sim " "$scratch/out" && [ ! -s "$scratch/err" ] ||
      fail "glowrig-sim --help printed: $(cat "$scratch/out" "$scratch/err")"
    echo '{"state": {"config": {"name": "Hall"}}}' >"$scratch/nameless.json"
    status=0
    "$sim" "https://127.0.0.1:0=$scratch/nameless.json" >"$scratch/out" 2>"$scratch/err" || status=$?
    expected="glowrig-sim: $scratch/nameless.json cannot be served over TLS: its configuration has"
    expected+=' neither "bridgeid" nor "mac" to name the certificate'
    [ "$status" -eq 1 ] && [ "$(cat "$scratch/err")" = "$expected" ] && [ ! -s "$scratch/out" ] ||
      fail "a nameless TLS bridge: status $status, $(cat "$scratch/out" "$scratch/err")"
    # A fixture that is not JSON: the line names the file and the place.
    printf '{"state": {\n  "config": nope}}\n' >"$scratch/broken.json"
    status=0
    "$sim" "127.0.0.1:0=$scratch/broken.json" >"$scratch/out" 2>"$scratch/err" || status=$?
    expected="glowrig-sim: $scratch/broken.json is not JSON (line 2, column 14)."
    [ "$status" -eq 1 ] && [ "$(cat "$scratch/err")" = "$expected" ] && [ ! -s "$scratch/out" ] ||
      fail "a broken fixture: status $status, $(cat "$scratch/out" "$scratch/err")"
    # Rates of change that are not positive numbers, and counts that are not
    # whole numbers, are refused with the usage.
    for option in "--change-rate 0" "--change-rate -1" "--change-rate 1e3" "--change-rate ." \
      "--change-count 1.5" "--change-count -1" "--change-for 0"; do
      status=0
      # shellcheck disable=SC2086
      "$sim" $option "127.0.0.1:0=$scratch/nameless.json" >"$scratch/out" 2>"$scratch/err" ||
        status=$?
      [ "$status" -eq 2 ] && grep -q "^usage: glowrig-sim " "$scratch/err" ||
        fail "$option: status $status, $(cat "$scratch/out" "$scratch/err")"
    done
    ;;
  *)
    fail "unknown part $part"
    ;;
esac
echo "demo ok: $part"
