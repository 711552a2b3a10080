#!/usr/bin/env bash
# Builds glowrig and shows it at work against the bundled bridge simulator:
# glowrig-sim serves the sample bridge of fixtures/sample.json on a free port of
# 127.0.0.2 (no root needed),
# glowrig whitelists itself there (the sample's link button is pressed) and
# runs a command against it. Pass a glowrig command line to run that instead
# of "state", for example: scripts/demo.sh lights
# With GLOWRIG_DEMO_BRIDGE=<ip> the command runs against that real bridge and
# no simulator is started.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh build >/dev/null

glowrig=./build/src/glowrig
[ "$#" -gt 0 ] || set -- state

if [ -n "${GLOWRIG_DEMO_BRIDGE:-}" ]; then
  exec "$glowrig" "$@" --bridge="$GLOWRIG_DEMO_BRIDGE"
fi

log=$(mktemp)
served=$(mktemp)
# Port 0: the simulator picks a free port and prints the address it serves.
./build/sim/glowrig-sim --log "$log" --ssdp 1900 --mdns 127.0.0.2:5354 \
  "127.0.0.2:0=fixtures/sample.json" >"$served" &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -f "$log" "$served"' EXIT

# The address is printed once the simulator accepts connections.
for _ in $(seq 50); do
  [ -s "$served" ] && break
  kill -0 $sim 2>/dev/null || exit 1
  sleep 0.1
done
address=$(head -n1 "$served")
[ -n "$address" ] || { echo "the simulator did not start" >&2; exit 1; }

# No discovery leaves this machine during the demo.
export GLOWRIG_PORTAL=$address GLOWRIG_SSDP=127.0.0.2:1900 GLOWRIG_MDNS=127.0.0.2:5354 \
  GLOWRIG_SSDP_WINDOW_MS=500

echo "== glowrig bridges"
"$glowrig" bridges
echo "== glowrig config --auth --bridge=$address"
"$glowrig" config --auth --bridge="$address" | sed -n 2p
echo "== glowrig $* --bridge=$address"
"$glowrig" "$@" --bridge="$address"
echo "== requests the simulated bridge received"
cat "$log"
