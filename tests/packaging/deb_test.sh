#!/usr/bin/env bash
# Builds the Debian package in the build tree and checks its name, its control
# data, its files, and that the glowrig it installs runs.
# Usage: deb_test.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null)
deb=$(ls "$scratch"/out/glowrig_*_amd64.deb)
[[ $(basename "$deb") =~ ^glowrig_[0-9]+\.[0-9]+\.[0-9]+_amd64\.deb$ ]] || { echo "bad name $deb"; exit 1; }

control=$(dpkg-deb -f "$deb" Package Depends)
for needed in "Package: glowrig" libcpprest2.10 libboost-program-options libpugixml libssl3; do
  grep -q "$needed" <<<"$control" || { echo "control data lacks $needed"; echo "$control"; exit 1; }
done

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for needed in ./usr/bin/glowrig ./usr/bin/glowrig-sim ./usr/share/man/man1/glowrig.1 \
              ./usr/share/bash-completion/completions/glowrig; do
  grep -qx "$needed" <<<"$files" || { echo "package lacks $needed"; exit 1; }
done

dpkg-deb -x "$deb" "$scratch/root"
out=$("$scratch/root/usr/bin/glowrig" light -help)
grep -q "Options for light:" <<<"$out" || { echo "installed glowrig does not run"; exit 1; }
echo "package ok: $(basename "$deb")"
