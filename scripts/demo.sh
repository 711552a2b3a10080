#!/usr/bin/env bash
# Builds glowrig and shows it at work against the bundled bridge simulator:
# glowrig-sim serves the sample bridge of fixtures/sample.json on a free port of
# 127.0.0.2 (no root needed),
# glowrig whitelists itself there (the sample's link button is pressed) and
# runs a command against it. Pass a glowrig command line to run that instead
# of "state", for example: scripts/demo.sh lights
# With --https first (scripts/demo.sh --https [COMMAND...]) the sample bridge
# is served over TLS, with a certificate naming its id, and glowrig pins that
# certificate when it whitelists itself.
# glowrig keeps the user name the bridge grants in a credentials folder made
# for the demo and removed at its end: the demo leaves the user's own
# ~/.config/glowrig alone.
# With GLOWRIG_DEMO_BRIDGE=<address> the command runs against that real bridge,
# with the user's own credentials, and no simulator is started.
# With GLOWRIG_DEMO_BUILD=<build dir> the programs already built there are
# used and nothing is built.
set -euo pipefail
cd "$(dirname "$0")/.."

https=
if [ "${1:-}" = --https ]; then
  https=1
  shift
fi
[ "$#" -gt 0 ] || set -- state

build=${GLOWRIG_DEMO_BUILD:-}
if [ -z "$build" ]; then
  build=build
  bash scripts/build.sh "$build" >/dev/null
fi
glowrig=$build/src/glowrig

if [ -n "${GLOWRIG_DEMO_BRIDGE:-}" ]; then
  exec "$glowrig" "$@" --bridge="$GLOWRIG_DEMO_BRIDGE"
fi

scratch=$(mktemp -d)
sim=
finish() {
  if [ -n "$sim" ]; then
    kill "$sim" 2>/dev/null || true
    wait "$sim" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap finish EXIT
log=$scratch/requests.log
served=$scratch/served
# The user names the simulated bridge grants are kept here, not in the
# user's own credentials file.
export XDG_CONFIG_HOME=$scratch/config

# Port 0: the simulator picks a free port and prints the address it serves
# ("https://127.0.0.2:40124 SHA256=..." over TLS).
where=127.0.0.2:0
[ -z "$https" ] || where=https://$where
"$build/sim/glowrig-sim" --log "$log" --ssdp 1900 --mdns 127.0.0.2:5354 \
  "$where=fixtures/sample.json" >"$served" &
sim=$!

# The address is printed once the simulator accepts connections.
for _ in $(seq 50); do
  [ -s "$served" ] && break
  kill -0 "$sim" 2>/dev/null || exit 1
  sleep 0.1
done
address=$(head -n1 "$served" | cut -d' ' -f1)
[ -n "$address" ] || { echo "the simulator did not start" >&2; exit 1; }

# No discovery leaves this machine during the demo. The bridge answers as
# the discovery portal too, over plain HTTP only.
export GLOWRIG_SSDP=127.0.0.2:1900 GLOWRIG_MDNS=127.0.0.2:5354 GLOWRIG_SSDP_WINDOW_MS=500
if [ -z "$https" ]; then
  export GLOWRIG_PORTAL=$address
  echo "== glowrig bridges"
  "$glowrig" bridges
fi
echo "== glowrig config --auth --bridge=$address"
"$glowrig" config --auth --bridge="$address" | sed -n 2p
echo "== glowrig $* --bridge=$address"
"$glowrig" "$@" --bridge="$address"
echo "== requests the simulated bridge received"
cat "$log"
