#!/usr/bin/env bash
# Checks what the bash completion offers for a few command lines.
set -euo pipefail
source "$(dirname "$0")/../../completion/glowrig.bash"

complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _glowrig
    echo "${COMPREPLY[*]}"
}

expect() {
    local want=$1
    shift
    local got
    got=$(complete_line "$@")
    [ "$got" = "$want" ] || { echo "for '$*': want '$want', got '$got'"; exit 1; }
}

expect "bridges config lights light groups group schedules schedule state help version" glowrig ""
expect "schedules schedule" glowrig sch
expect "--bridge= --id= --name= --desc= --delete --json --help" glowrig schedule ""
expect "--bridge= --bri=" glowrig LIGHT --bri
expect "-l=" glowrig group --id=1 -l
expect "--json" glowrig bridges --
expect "--auth" glowrig config --a
echo "completion ok"
