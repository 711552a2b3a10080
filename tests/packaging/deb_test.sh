#!/usr/bin/env bash
# With "build PACKAGE", builds the Debian package PACKAGE (glowrig or
# glowrig-sim) of the build tree into BUILD_DIR/packages/PACKAGE; with
# "check", runs lintian on the two and checks their control data, their
# files, the hardening of the programs, the manual pages, and that the glowrig
# they install runs. (Three steps, so none takes long.)
# Usage: deb_test.sh build BUILD_DIR PACKAGE | deb_test.sh check BUILD_DIR
set -euo pipefail
step=$1
build=$2
packages="$build/packages"
if [ "$step" = build ]; then
  rm -rf "${packages:?}/$3"
  (cd "$build" && cpack -G DEB -B "$packages/$3" -D CPACK_COMPONENTS_ALL="$3" >/dev/null)
  exit 0
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "$*"; exit 1; }

debs=("$packages"/*/*.deb)
[ "${#debs[@]}" -eq 2 ] || fail "want two packages, got: ${debs[*]##*/}"
deb=$(ls "$packages"/glowrig/glowrig_*_amd64.deb)
sim=$(ls "$packages"/glowrig-sim/glowrig-sim_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
[[ $(basename "$deb") =~ ^glowrig_[0-9]+\.[0-9]+\.[0-9]+-[0-9]+_amd64\.deb$ ]] || fail "bad name $deb"

# lintian prints nothing: no error, no warning.
out=$(lintian "$deb" "$sim" 2>&1 | grep -v '^running with root privileges' || true)
[ -z "$out" ] || fail "lintian: $out"

control=$(dpkg-deb -f "$deb" Package Depends Recommends)
for needed in "Package: glowrig" libpugixml libldns3 \
              "Recommends: bash-completion"; do
    grep -q "$needed" <<<"$control" || fail "control data lacks $needed: $control"
done
! grep -q libcpprest <<<"$control" || fail "glowrig still depends on the REST SDK: $control"

# Each package holds its own files; the simulator is not in the user package.
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for needed in ./usr/bin/glowrig ./usr/share/man/man1/glowrig.1.gz \
              ./usr/share/bash-completion/completions/glowrig \
              ./usr/share/zsh/vendor-completions/_glowrig \
              ./usr/share/fish/vendor_completions.d/glowrig.fish; do
    grep -qx "$needed" <<<"$files" || fail "glowrig lacks $needed"
done
! grep -q glowrig-sim <<<"$files" || fail "glowrig holds the simulator"
sim_files=$(dpkg-deb -c "$sim" | awk '{print $6}')
for needed in ./usr/bin/glowrig-sim ./usr/share/man/man1/glowrig-sim.1.gz; do
    grep -qx "$needed" <<<"$sim_files" || fail "glowrig-sim lacks $needed"
done

root=$scratch/root
dpkg-deb -x "$deb" "$root"
dpkg-deb -x "$sim" "$root"
[ "$("$root/usr/bin/glowrig" --version)" = "glowrig ${version%-*}" ] || fail "installed glowrig does not run"

doc=$root/usr/share/doc/glowrig
for file in copyright changelog.Debian.gz README.md json.md faults.md; do
    [ -s "$doc/$file" ] || fail "documentation lacks $file"
done
grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" "$doc/copyright" ||
    fail "copyright is not machine-readable"
zcat "$doc/changelog.Debian.gz" | head -1 | grep -q "^glowrig ($version) " ||
    fail "the changelog's top entry is not $version"

# Position independent, relocations read-only and bound at start-up.
for program in "$root/usr/bin/glowrig" "$root/usr/bin/glowrig-sim"; do
    dynamic=$(readelf -d "$program")
    grep -q "BIND_NOW" <<<"$dynamic" && grep -q "Flags:.*PIE" <<<"$dynamic" &&
        readelf -lW "$program" | grep -q GNU_RELRO || fail "$program is not hardened"
done

for page in glowrig glowrig-sim; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page(1): $warnings"
done
echo "packages ok: $(basename "$deb") $(basename "$sim")"
