#!/usr/bin/env bash
# Performance benchmark of glowrig against the bridge simulator. Not part of
# the test suite: it measures, on this machine, each figure as the median of
# repeated runs and prints a table of goal, measured value and verdict.
#
#   bash bench/run.sh [--profile CASE]
#
# CASE is light, state, lights, bridges or help: after the table, that case is run once
# more under valgrind's callgrind and the functions with the most instructions
# are listed (output in build-bench/callgrind.out.CASE).
#
# Runs as an ordinary user; installs what is missing (curl, GNU time, valgrind
# for --profile) with apt-get, which needs root. Builds the Release binaries
# in build-bench. Every address used is on the loopback network 127.0.2.x, each
# simulated bridge on the same port of its own address.
#
# The rows of `watch` come from bench/watch.py (latency over the event stream,
# nothing missed, memory after many changes, the cost of polling).
#
# Environment: BENCH_RUNS (runs per figure, default 15), BENCH_SSDP_WINDOW_MS
# (the search window of the bridges case, default 1000), BENCH_PORT (the port
# of the simulated bridges, default 18080).
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${BENCH_RUNS:-15}
window_ms=${BENCH_SSDP_WINDOW_MS:-1000}
profile=""
if [ "${1:-}" = "--profile" ]; then
  profile=${2:?"--profile needs a case: light, state, lights, bridges or help"}
fi

# --- tools -------------------------------------------------------------------
need=()
command -v curl >/dev/null || need+=(curl)
command -v python3 >/dev/null || need+=(python3)
[ -x /usr/bin/time ] || need+=(time)
command -v strace >/dev/null || need+=(strace)
command -v jq >/dev/null || need+=(jq)
if [ -n "$profile" ]; then command -v valgrind >/dev/null || need+=(valgrind); fi
if [ "${#need[@]}" -gt 0 ]; then
  [ "$(id -u)" = 0 ] || { echo "bench/run.sh needs ${need[*]}: install them as root" >&2; exit 1; }
  echo "installing ${need[*]}"
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi

# --- build -------------------------------------------------------------------
build=build-bench
# The compiler and linker scripts/build.sh picks, as for the packages.
GLOWRIG_TARGETS="glowrig glowrig-sim" bash scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=Release \
  -DGLOWRIG_BUILD_TESTS=OFF >/dev/null
glowrig=$PWD/$build/src/glowrig
sim=$PWD/$build/sim/glowrig-sim

# --- simulated bridges -------------------------------------------------------
port=${BENCH_PORT:-18080}
light_bridge=127.0.2.1:$port  # fixtures/sample.json: the light command
large_bridge=127.0.2.2:$port  # the large bridge: state and the listings
full_bridge=127.0.2.5:$port   # the large bridge with 150 lights (the newest generation's most)
tls_light_bridge=127.0.2.7:$port  # fixtures/sample.json over TLS
tls_large_bridge=127.0.2.8:$port  # the large bridge over TLS
split_bridge=127.0.2.3:$port  # fixtures/sample.json, header and body in two segments, Nagle on
hostile_peer=127.0.2.4:$port  # answers every request with an endless header line
ssdp_responder=127.0.2.9:1901
mdns_responder=127.0.2.9:5354
many=()                       # ten small bridges with device descriptions (addresses alone)
for n in $(seq 10 19); do many+=("127.0.2.$n"); done

work=$(mktemp -d)
# glowrig's credentials file of this run stays in the run's own folder.
export XDG_CONFIG_HOME=$work/config
sim_pids=""
cleanup() {
  local pid
  for pid in $sim_pids; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

bash bench/make_fixture.sh large "${large_bridge%:*}" >"$work/large.json"
bash bench/make_fixture.sh large "${full_bridge%:*}" 150 >"$work/full.json"
bridge_args=()
for i in "${!many[@]}"; do
  # The first of them also answers as the discovery portal, listing all ten.
  if [ "$i" = 0 ]; then
    bash bench/make_fixture.sh small "${many[$i]}" $((i + 1)) "${many[@]/%/:$port}" >"$work/many$i.json"
  else
    bash bench/make_fixture.sh small "${many[$i]}" $((i + 1)) >"$work/many$i.json"
  fi
  bridge_args+=("${many[$i]}:$port=$work/many$i.json")
done

# Simulators: the ten answer SSDP searches and mDNS queries, the others stay out
# of them. Every bridge lists whole items, as current firmware does.
"$sim" --log "$work/requests.log" "$light_bridge=fixtures/sample.json" \
  "$large_bridge=$work/large.json" "$full_bridge=$work/full.json" >/dev/null 2>"$work/sim.err" &
sim_pids=$!
"$sim" --log "$work/discovery.log" --ssdp-all "$ssdp_responder" --mdns "$mdns_responder" \
  "${bridge_args[@]}" \
  >/dev/null 2>>"$work/sim.err" &
sim_pids="$sim_pids $!"
# The TLS bridges' certificates name their ids.
jq '.state.config.bridgeid = "0200AAFFFE0A0205"' fixtures/sample.json >"$work/tls_sample.json"
jq '.state.config.bridgeid = "0200AAFFFE0A0206"' "$work/large.json" >"$work/tls_large.json"
"$sim" --log "$work/tls.log" "https://$tls_light_bridge=$work/tls_sample.json" \
  "https://$tls_large_bridge=$work/tls_large.json" >/dev/null 2>>"$work/sim.err" &
sim_pids="$sim_pids $!"
"$sim" --log "$work/split.log" --split "$split_bridge=fixtures/sample.json" >/dev/null 2>>"$work/sim.err" &
sim_pids="$sim_pids $!"
# The hostile peer: 200 OK, then one header line that never ends.
python3 -c '
import socket, sys, threading
s = socket.create_server((sys.argv[1], int(sys.argv[2])))
def serve(c):
    try:
        c.recv(65536)
        c.sendall(b"HTTP/1.1 200 OK\r\nX-Endless: ")
        while True: c.sendall(b"a" * 65536)
    except OSError: c.close()
while True:
    c, _ = s.accept()
    threading.Thread(target=serve, args=(c,), daemon=True).start()
' "${hostile_peer%:*}" "$port" &
sim_pids="$sim_pids $!"
for address in "${tls_light_bridge%:*}" "${tls_large_bridge%:*}" "${light_bridge%:*}" \
  "${large_bridge%:*}" "${full_bridge%:*}" "${split_bridge%:*}" "${hostile_peer%:*}" "${many[@]}"; do
  for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/$address/$port") 2>/dev/null && break
    for pid in $sim_pids; do kill -0 "$pid" 2>/dev/null || { cat "$work/sim.err" >&2; exit 1; }; done
    sleep 0.05
  done
done

# The credentials glowrig keeps (and the pins) stay in the work directory.
export XDG_CONFIG_HOME=$work/config

# glowrig whitelists itself (the fixtures' link buttons are pressed) and the
# user id it was given is what curl uses too.
"$glowrig" config --auth --bridge="$light_bridge" >/dev/null
"$glowrig" config --auth --bridge="$large_bridge" >/dev/null
"$glowrig" config --auth --bridge="$full_bridge" >/dev/null
"$glowrig" config --auth --bridge="$split_bridge" >/dev/null
"$glowrig" config --auth --bridge="https://$tls_light_bridge" >/dev/null
"$glowrig" config --auth --bridge="https://$tls_large_bridge" >/dev/null
user=$(grep -m1 '^POST /api {' "$work/requests.log" | sed 's/.*"username":"\([^"]*\)".*/\1/')
[ -n "$user" ] || { echo "could not learn glowrig's user id" >&2; exit 1; }

# No discovery traffic leaves this machine.
export GLOWRIG_PORTAL=${many[0]}:$port GLOWRIG_SSDP=$ssdp_responder GLOWRIG_MDNS=$mdns_responder \
  GLOWRIG_SSDP_WINDOW_MS=$window_ms

# --- measuring ---------------------------------------------------------------
# now_us: microseconds from bash's own clock (no process started for it).
now_us() { local t=${EPOCHREALTIME/./}; echo "$((10#$t))"; }

# median of the numbers on standard input
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# time_runs SETUP COMMAND...: runs SETUP (untimed) then COMMAND, $runs times;
# prints each wall time in microseconds. One warm-up run first.
time_runs() {
  local setup=$1 i start end
  shift
  $setup; "$@" >/dev/null 2>&1
  for ((i = 0; i < runs; i++)); do
    $setup
    start=$(now_us)
    "$@" >/dev/null 2>&1
    end=$(now_us)
    echo $((end - start))
  done
}

# time_pairs SETUP_A A SETUP_B B: runs A and B in turns, $runs times each
# (SETUP_A before A, SETUP_B before B, untimed); prints the wall times of each
# turn, "A B" in microseconds. A ratio of two commands timed in turns is not
# skewed by a change in the machine's speed between two blocks of runs.
time_pairs() {
  local setup_a=$1 a=$2 setup_b=$3 b=$4 i start middle middle_b end
  $setup_a; $a >/dev/null 2>&1; $setup_b; $b >/dev/null 2>&1
  for ((i = 0; i < runs; i++)); do
    $setup_a
    start=$(now_us)
    $a >/dev/null 2>&1
    middle=$(now_us)
    $setup_b
    middle_b=$(now_us)
    $b >/dev/null 2>&1
    end=$(now_us)
    echo "$((middle - start)) $((end - middle_b))"
  done
}
# pair_medians SETUP_A A SETUP_B B: the medians of the times time_pairs
# prints, "A B".
pair_medians() {
  local times
  times=$(time_pairs "$@")
  echo "$(awk '{ print $1 }' <<<"$times" | median) $(awk '{ print $2 }' <<<"$times" | median)"
}

# Puts light 3 back to brightness 100, so every run has a change to send.
reset_light() {
  curl -s -o /dev/null -X PUT -d '{"bri": 100}' "http://$light_bridge/api/$user/lights/3/state"
}
reset_split_light() {
  curl -s -o /dev/null -X PUT -d '{"bri": 100}' "http://$split_bridge/api/$user/lights/3/state"
}
reset_tls_light() {
  curl -sk -o /dev/null -X PUT -d '{"bri": 100}' "https://$tls_light_bridge/api/$user/lights/3/state"
}
nothing() { :; }

# curl_three_tls: the three requests of the light command over TLS, one curl
# each (three handshakes), the certificate unchecked.
curl_three_tls() {
  local api="https://$tls_light_bridge/api/$user"
  curl -sk -o /dev/null "$api/lights"
  curl -sk -o /dev/null -X PUT -d '{"bri":200}' "$api/lights/3/state"
  curl -sk -o /dev/null "$api/lights/3"
}
curl_state_tls() { curl -sk "https://$tls_large_bridge/api/$user" | jq . >/dev/null; }
curl_state() { curl -s "http://$large_bridge/api/$user" | jq . >/dev/null; }

# threads_of COMMAND...: how many threads the command runs on, its main
# thread included (each clone that shares the address space is one more).
threads_of() {
  strace -f -qq -e trace=clone,clone3 -o "$work/clones" "$@" >/dev/null 2>&1 || true
  echo $((1 + $(grep -c 'CLONE_THREAD' "$work/clones" || true)))
}

# curl_three [BRIDGE]: the three requests of the light command, one curl each
# (the listing gives light 3 whole, so it is not read before the change).
curl_three() {
  local api="http://${1:-$light_bridge}/api/$user"
  curl -s -o /dev/null "$api/lights"
  curl -s -o /dev/null -X PUT -d '{"bri":200}' "$api/lights/3/state"
  curl -s -o /dev/null "$api/lights/3"
}

# Sanity: the commands do what is measured.
"$glowrig" light --id=3 --bri=200 --bridge="$light_bridge" | grep -q 'Brightness:            200' ||
  { echo "light command did not set the brightness" >&2; exit 1; }
items_in_state=$("$glowrig" state --bridge="$large_bridge" | grep -c '^  Id:')
[ "$items_in_state" = 220 ] ||
  { echo "state printed $items_in_state lights, groups and schedules, expected 220" >&2; exit 1; }
for listing in lights groups schedules; do
  for bridge in "$large_bridge" "$full_bridge"; do
    before=$(wc -l <"$work/requests.log")
    printed=$("$glowrig" "$listing" --bridge="$bridge" | grep -c '^  Id:')
    sent=$(($(wc -l <"$work/requests.log") - before))
    want=$(python3 -c 'import json, sys; print(len(json.load(open(sys.argv[1]))["state"][sys.argv[2]]))' \
      "$work/$([ "$bridge" = "$large_bridge" ] && echo large || echo full).json" "$listing")
    [ "$printed" = "$want" ] && [ "$sent" = 1 ] ||
      { echo "$listing on $bridge printed $printed of $want items with $sent requests, expected 1" >&2; exit 1; }
  done
done
bridges_out=$("$glowrig" bridges 2>&1 || true)
bridges_listed=$(grep -ci "^0200aafffe" <<<"$bridges_out" || true)
[ "$bridges_listed" = 10 ] ||
  { echo "bridges listed $bridges_listed bridges, expected 10, each found by mDNS, SSDP and the portal:" >&2; echo "$bridges_out" >&2; exit 1; }

echo "measuring: $runs runs per figure (median), SSDP window $window_ms ms"
echo "large bridge: 60 lights, 60 groups, 100 schedules, 200 scenes, 60 sensors, 200 rules;" \
  "the same with 150 lights"
glowrig_light() { "$glowrig" light --id=3 --bri=200 --bridge="$light_bridge"; }
glowrig_split_light() { "$glowrig" light --id=3 --bri=200 --bridge="$split_bridge"; }
curl_three_split() { curl_three "$split_bridge"; }
read -r light_us curl_us < <(pair_medians reset_light glowrig_light reset_light curl_three)
read -r split_us split_curl_us < <(pair_medians reset_split_light glowrig_split_light \
  reset_split_light curl_three_split)
# The hostile run fails on purpose (status 1).
hostile_config() { "$glowrig" config --bridge="$hostile_peer" || true; }
hostile_us=$(time_runs nothing hostile_config | median)
hostile_kb=$(for ((i = 0; i < runs; i++)); do
  { /usr/bin/time -f %M "$glowrig" config --bridge="$hostile_peer" 2>&1 >/dev/null || true; } | tail -1
done | median)
glowrig_state() { "$glowrig" state --bridge="$large_bridge"; }
read -r state_us curl_state_us < <(pair_medians nothing glowrig_state nothing curl_state)
glowrig_tls_light() { "$glowrig" light --id=3 --bri=200 --bridge="https://$tls_light_bridge"; }
glowrig_tls_state() { "$glowrig" state --bridge="https://$tls_large_bridge"; }
read -r tls_light_us tls_curl_us < <(pair_medians reset_tls_light glowrig_tls_light \
  reset_tls_light curl_three_tls)
read -r tls_state_us tls_curl_state_us < <(pair_medians nothing glowrig_tls_state nothing curl_state_tls)
state_kb=$(for ((i = 0; i < runs; i++)); do
  /usr/bin/time -f %M "$glowrig" state --bridge="$large_bridge" 2>&1 >/dev/null | tail -1
done | median)
# The listings on the large bridge and on the one with 150 lights, each beside
# state on the same bridge: listings[BRIDGE COMMAND] in microseconds.
declare -A listings
listings[large state]=$state_us
listings[full state]=$(time_runs nothing "$glowrig" state --bridge="$full_bridge" | median)
for bridge in large full; do
  address=${bridge}_bridge
  for command in lights groups schedules; do
    listings[$bridge $command]=$(time_runs nothing "$glowrig" "$command" --bridge="${!address}" | median)
  done
done
bridges_us=$(time_runs nothing "$glowrig" bridges | median)
# A home whose one bridge is remembered (the HTTPS sample bridge, pinned): a
# command without --bridge contacts it directly and searches nothing.
mkdir -p "$work/one/glowrig"
jq '{bridges: [.bridges[] | select(.id == "0200AAFFFE0A0205")]}' "$XDG_CONFIG_HOME/glowrig/bridges.json" \
  >"$work/one/glowrig/bridges.json"
remembered_lights() { XDG_CONFIG_HOME=$work/one "$glowrig" lights; }
portal_asked=$(grep -c 'GET /api/nupnp' "$work/discovery.log" || true)
remembered_lights | grep -q '^  Id:' || { echo "lights on the remembered bridge printed no light" >&2; exit 1; }
[ "$(grep -c 'GET /api/nupnp' "$work/discovery.log" || true)" = "$portal_asked" ] ||
  { echo "lights on the remembered bridge searched the network" >&2; exit 1; }
remembered_us=$(time_runs nothing remembered_lights | median)
glowrig_help() { "$glowrig" light -help; }
read -r help_us true_us < <(pair_medians nothing glowrig_help nothing /bin/true)
declare -A threads
reset_light
threads[light]=$(threads_of "$glowrig" light --id=3 --bri=200 --bridge="$light_bridge")
threads[state]=$(threads_of "$glowrig" state --bridge="$large_bridge")
threads[lights, remembered]=$(threads_of env XDG_CONFIG_HOME="$work/one" "$glowrig" lights)
threads[bridges]=$(threads_of "$glowrig" bridges)
# The floor under start-up: a program that does nothing but load the shared
# libraries glowrig loads (the REST library, OpenSSL, ldns, pugixml and what
# they need), built with the same compiler.
printf 'int main() { return 0; }\n' >"$work/empty.cpp"
"$(sed -n 's/^CMAKE_CXX_COMPILER:FILEPATH=//p' "$build/CMakeCache.txt")" "$work/empty.cpp" -o "$work/empty" \
  -Wl,--no-as-needed $(ldd "$glowrig" | awk '$2 == "=>" && $3 ~ /^\// { print $3 }')
floor_us=$(time_runs nothing "$work/empty" | median)

# --- table -------------------------------------------------------------------
ms() { awk -v us="$1" 'BEGIN { printf "%.1f ms", us / 1000 }'; }
verdict() { awk -v ok="$1" 'BEGIN { print (ok ? "met" : "MISSED") }'; }

# The light command no longer pauses (light 3 comes whole from the listing):
# its whole wall time is overhead.
ratio=$(awk -v o="$light_us" -v c="$curl_us" 'BEGIN { printf "%.2f", o / c }')
limit_us=$(((window_ms + 300) * 1000))
split_ratio=$(awk -v o="$split_us" -v c="$split_curl_us" 'BEGIN { printf "%.2f", o / c }')
tls_ratio=$(awk -v o="$tls_light_us" -v c="$tls_curl_us" 'BEGIN { printf "%.2f", o / c }')
state_ratio=$(awk -v a="$state_us" -v c="$curl_state_us" 'BEGIN { printf "%.2f", a / c }')
help_ratio=$(awk -v a="$help_us" -v t="$true_us" 'BEGIN { printf "%.2f", a / t }')
tls_state_ratio=$(awk -v a="$tls_state_us" -v c="$tls_curl_state_us" 'BEGIN { printf "%.2f", a / c }')

echo
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores," \
  "$(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)," \
  "$(. /etc/os-release && echo "$PRETTY_NAME"), $("$(sed -n 's/^CMAKE_CXX_COMPILER:FILEPATH=//p' "$build/CMakeCache.txt")" --version | head -1), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo
printf '| %-44s | %-22s | %-32s | %-7s |\n' "figure" "goal" "measured (median of $runs)" "verdict"
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..46})" "$(printf -- '-%.0s' {1..24})" \
  "$(printf -- '-%.0s' {1..34})" "$(printf -- '-%.0s' {1..9})"
row() { printf '| %-44s | %-22s | %-32s | %-7s |\n' "$@"; }
row "light --id=3 --bri=200: wall time" "" "$(ms "$light_us")" ""
row "  curl baseline, 3 requests, 3 processes" "" "$(ms "$curl_us")" ""
row "  overhead (wall, no pause) / curl" "<= 0.50" "$(ms "$light_us") / $(ms "$curl_us") = $ratio" \
  "$(verdict "$(awk -v r="$ratio" 'BEGIN { print r <= 0.5 }')")"
row "light, split replies with Nagle: wall time" "" "$(ms "$split_us")" ""
row "  curl baseline, same bridge" "" "$(ms "$split_curl_us")" ""
row "  overhead / curl" "<= 0.50" \
  "$(ms "$split_us") / $(ms "$split_curl_us") = $split_ratio" \
  "$(verdict "$(awk -v r="$split_ratio" 'BEGIN { print r <= 0.5 }')")"
row "light over HTTPS: wall time" "" "$(ms "$tls_light_us")" ""
row "  curl -k baseline, 3 requests, 3 handshakes" "" "$(ms "$tls_curl_us")" ""
row "  overhead (wall, no pause) / curl" "<= 0.50" \
  "$(ms "$tls_light_us") / $(ms "$tls_curl_us") = $tls_ratio" \
  "$(verdict "$(awk -v r="$tls_ratio" 'BEGIN { print r <= 0.5 }')")"
row "state over HTTPS, large bridge: wall time" "" "$(ms "$tls_state_us")" ""
row "  / curl -k | jq ." "<= 0.40" \
  "$(ms "$tls_state_us") / $(ms "$tls_curl_state_us") = $tls_state_ratio" \
  "$(verdict "$(awk -v r="$tls_state_ratio" 'BEGIN { print r <= 0.4 }')")"
row "config, endless header line: wall time" "" "$(ms "$hostile_us")" ""
row "  peak resident memory" "< 64 MB" \
  "$(awk -v k="$hostile_kb" 'BEGIN { printf "%.1f MB", k / 1024 }')" "$(verdict "$((hostile_kb < 64 * 1024))")"
row "state, large bridge: wall time" "< 150 ms" "$(ms "$state_us")" \
  "$(verdict "$((state_us < 150000))")"
row "  / curl | jq ." "<= 0.30" "$(ms "$state_us") / $(ms "$curl_state_us") = $state_ratio" \
  "$(verdict "$(awk -v r="$state_ratio" 'BEGIN { print r <= 0.3 }')")"
row "state, large bridge: peak resident memory" "<= 8 MB" \
  "$(awk -v k="$state_kb" 'BEGIN { printf "%.1f MB", k / 1024 }')" "$(verdict "$((state_kb <= 8 * 1024))")"
row "state, 150 lights: wall time" "" "$(ms "${listings[full state]}")" ""
for bridge in large full; do
  state=${listings[$bridge state]}
  name=$([ "$bridge" = large ] && echo "large bridge" || echo "150 lights")
  for command in lights groups schedules; do
    us=${listings[$bridge $command]}
    factor=$(awk -v a="$us" -v s="$state" 'BEGIN { printf "%.2f", a / s }')
    row "$command, $name: wall / state" "< 1.5" "$(ms "$us") / $(ms "$state") = $factor" \
      "$(verdict "$(awk -v f="$factor" 'BEGIN { print f < 1.5 }')")"
  done
done
row "bridges, 10 bridges by mDNS+SSDP+portal: wall" "<= $window_ms + 300 ms" "$(ms "$bridges_us")" \
  "$(verdict "$((bridges_us <= limit_us))")"
row "lights, one remembered bridge, no --bridge" "< 100 ms" "$(ms "$remembered_us")" \
  "$(verdict "$((remembered_us < 100000))")"
row "light -help (start-up): wall" "< 10 ms" "$(ms "$help_us")" "$(verdict "$((help_us < 10000))")"
row "  / /bin/true" "<= 2" "$(ms "$help_us") / $(ms "$true_us") = $help_ratio" \
  "$(verdict "$(awk -v r="$help_ratio" 'BEGIN { print r <= 2 }')")"
row "  a program loading the same libraries alone" "" "$(ms "$floor_us")" ""
for command in light state "lights, remembered" bridges; do
  goal=$([ "$command" = bridges ] && echo "" || echo "1")
  ok=$([ -z "$goal" ] || [ "${threads[$command]}" -le 1 ] && echo 1 || echo 0)
  row "threads: $command" "$goal" "${threads[$command]}" "$([ -z "$goal" ] && echo "" || verdict "$ok")"
done
# watch: over the event stream and by polling, on simulators of its own.
python3 bench/watch.py "$glowrig" "$sim" "$work/large.json" "$work"

# --- profile -----------------------------------------------------------------
if [ -n "$profile" ]; then
  out=$PWD/$build/callgrind.out.$profile
  case "$profile" in
    light) reset_light; cmd=("$glowrig" light --id=3 --bri=200 --bridge="$light_bridge") ;;
    state) cmd=("$glowrig" state --bridge="$large_bridge") ;;
    lights) cmd=("$glowrig" lights --bridge="$large_bridge") ;;
    bridges) cmd=("$glowrig" bridges) ;;
    help) cmd=("$glowrig" light -help) ;;
    *) echo "unknown case $profile" >&2; exit 2 ;;
  esac
  echo
  echo "callgrind: ${cmd[*]}"
  valgrind --tool=callgrind --callgrind-out-file="$out" "${cmd[@]}" >/dev/null 2>"$work/callgrind.err" ||
    { cat "$work/callgrind.err" >&2; exit 1; }
  grep -E 'Collected' "$work/callgrind.err" || true
  callgrind_annotate --inclusive=yes "$out" 2>/dev/null | sed -n '1,60p'
fi
