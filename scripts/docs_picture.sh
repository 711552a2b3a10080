#!/usr/bin/env bash
# Makes docs/lights-brief.png, the README's picture of "lights --brief": a
# screenshot of a real terminal (xterm on a virtual X display) showing the
# listing of the bundled sample bridge, served by glowrig-sim on 127.0.0.2,
# after glowrig has given a few of its lights colours.
# Installs what it needs for the capture (Xvfb, xterm, ImageMagick) with
# apt-get when it is missing; the build and the tests never need them.
# With GLOWRIG_DEMO_BUILD=<build dir> the programs already built there are
# used and nothing is built.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
command -v Xvfb >/dev/null || missing+=(xvfb)
command -v xterm >/dev/null || missing+=(xterm)
[ -x /usr/bin/import ] && [ -x /usr/bin/convert ] || missing+=(imagemagick)
[ -e /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf ] || missing+=(fonts-dejavu-core)
if [ "${#missing[@]}" -gt 0 ]; then
  sudo=
  [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null
fi

build=${GLOWRIG_DEMO_BUILD:-}
if [ -z "$build" ]; then
  build=build
  bash scripts/build.sh "$build" >/dev/null
fi
glowrig=$(realpath "$build/src/glowrig")

scratch=$(mktemp -d)
pids=()
finish() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$scratch"
}
trap finish EXIT
export XDG_CONFIG_HOME=$scratch/config
# Nothing is searched for: every command names the simulated bridge.
export GLOWRIG_SSDP=127.0.0.2:1900 GLOWRIG_MDNS=off GLOWRIG_SSDP_WINDOW_MS=0

"$build/sim/glowrig-sim" 127.0.0.2:0=fixtures/sample.json >"$scratch/served" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do
  [ -s "$scratch/served" ] && break
  sleep 0.1
done
address=$(head -n1 "$scratch/served" | cut -d' ' -f1)
[ -n "$address" ] || { echo "the simulator did not start" >&2; exit 1; }

"$glowrig" config --auth --bridge="$address" >/dev/null
"$glowrig" light --id=2 --on --color=royalblue --bri=180 --bridge="$address" >/dev/null
"$glowrig" light --id=3 --kelvin=2700 --bri=120 --bridge="$address" >/dev/null
"$glowrig" light --id=4 --name="Garden path by the old apple tree" --bridge="$address" >/dev/null
"$glowrig" light --id=1 --color=orangered --bridge="$address" >/dev/null

# A display of its own; the first free number from 90 on.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1100x200x24 -br -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1

cat >"$scratch/show.sh" <<SHOW
printf '\$ glowrig lights --brief\n'
"$glowrig" lights --brief --bridge="$address"
printf '\$ '
sleep 30
SHOW
DISPLAY=":$display" TERM=xterm-256color xterm -geometry 110x7+0+0 -fa 'DejaVu Sans Mono' -fs 12 \
  -bg '#1d1f21' -fg '#d8d8d8' -xrm 'XTerm*directColor: true' -b 0 -bw 0 \
  -e bash "$scratch/show.sh" &
pids+=($!)
sleep 3
DISPLAY=":$display" import -window root "$scratch/screen.png"
# The terminal's text, with a margin in its background colour.
/usr/bin/convert "$scratch/screen.png" -trim +repage -bordercolor '#1d1f21' -border 14 \
  docs/lights-brief.png
echo "wrote docs/lights-brief.png"
