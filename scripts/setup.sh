#!/usr/bin/env bash
# Installs everything glowrig needs to build and test on Debian 12. Run as root;
# safe to run again.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  # The compiler scripts/build.sh uses when it is installed (about twice as
  # quick on this code as g++), and its sanitizer runtimes.
  clang libclang-rt-dev
  nlohmann-json3-dev libboost-program-options-dev libboost-dev
  libpugixml-dev libssl-dev libldns-dev
  libgtest-dev libgmock-dev
  clang-format dpkg-dev file ccache
  # A quicker linker than GNU ld for the test binaries (CMakeLists.txt uses it
  # when present).
  lld
  # The package and completion tests: lintian, the manual page checker, the
  # two other shells whose completions glowrig ships.
  lintian man-db groff-base zsh fish
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
