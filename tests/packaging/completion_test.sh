#!/usr/bin/env bash
# Checks what the bash, zsh and fish completions offer for the same command
# lines: command words, each command's options, the values of --effect,
# --alert, --type (which differ by command) and --color. Each shell runs its own completion code non-interactively: bash
# through the completion function, zsh through its function with compadd and
# compset stood in for, fish through "complete -C".
# The completions ask glowrig (the first argument: the built program) what to
# offer; every command's options are also checked against its own help. The
# second argument names one part (help, bash, zsh or fish); without it every
# part runs. Each part starts the program dozens of times: CI runs them as
# tests of their own, side by side.
set -euo pipefail
part=${2:-all}
case $part in all | help | bash | zsh | fish) ;; *) echo "no part $part" >&2 && exit 2 ;; esac
runs() { [ "$part" = all ] || [ "$part" = "$1" ]; }
here=$(cd "$(dirname "$0")" && pwd)
completion=$here/../../completion
PATH=$(cd "$(dirname "$1")" && pwd):$PATH
export PATH
source "$completion/glowrig.bash"

# Command line (a trailing blank starts an empty word) | the completions, sorted.
cases=(
    "glowrig |bridges config devices group groups help light lights scene scenes schedule schedules sensor sensors state version watch"
    "glowrig sch|schedule schedules"
    "glowrig sce|scene scenes"
    "glowrig sensor |--bridge= --help --id= --json --off --on"
    "glowrig scene |--bridge= --dynamic --group= --help --id= --json --off --speed="
    "glowrig schedule |--bridge= --delete --desc= --disable --enable --help --id= --json --name="
    "glowrig LIGHT --bri|--bri= --bridge="
    "glowrig group --id=1 -l|-l="
    "glowrig bridges --|--brief --help --json"
    "glowrig config --a|--auth"
    "glowrig help l|light lights"
    "glowrig help v|version"
    "glowrig light --eff|--effect="
    "glowrig light --c|--color= --ct="
    "glowrig group --t|--toggle --trans= --type="
    "glowrig light --k|--kelvin="
    "glowrig light --id=3 --effect=|--effect=colorloop --effect=none"
    "glowrig group --alert=|--alert=lselect --alert=none --alert=select"
    "glowrig light -alert=l|-alert=lselect"
    "glowrig light --bri=|"
    "glowrig version |--help --json"
    "glowrig watch |--bridge= --count= --for= --help --id= --interval= --json --type="
    "glowrig group --type=|--type=group --type=room --type=zone"
    "glowrig Watch --type=s|--type=sensor"
    "glowrig light --color=bl|--color=blanchedalmond --color=blue --color=blueviolet"
    "glowrig groups --type=r|--type=room"
)

failed=0

# Each command's options as its help lists them ("--bri=" for one that takes
# a value) against what the completions offer for it.
runs help && for word in $(glowrig --completions words); do
    [ "$word" = help ] && continue
    from_help=$(glowrig "$word" -help | sed -n '/^Options for/,/^$/p' |
        sed -nE 's/^  --?([a-z][a-z-]*)( arg)?.*/\1\2/p' | sed -E 's/ arg$/=/' | sort | paste -sd ' ')
    offered=$(glowrig --completions options "$word" | tr ' ' '\n' | sed -E 's/^--?//' |
        grep -vx help | sort | paste -sd ' ')
    if [ "$from_help" != "$offered" ]; then
        echo "$word: the help lists '$from_help', the completions offer '$offered'"
        failed=1
    fi
done

check() {
    local shell=$1 line=$2 want=$3 got=$4
    got=$(tr ' ' '\n' <<<"$got" | sed '/^$/d' | sort | paste -sd ' ')
    if [ "$got" != "$want" ]; then
        echo "$shell, '$line': want '$want', got '$got'"
        failed=1
    fi
}

bash_complete() {
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _glowrig
    echo "${COMPREPLY[*]}"
}

if runs bash; then
    for case in "${cases[@]}"; do
        check bash "${case%%|*}" "${case#*|}" "$(bash_complete "${case%%|*}")"
    done
    # bash splits "--alert=s" at "=" when "=" is among its word breaks.
    check bash "glowrig light --alert=s" "select" "$(COMP_WORDS=(glowrig light --alert = s) COMP_CWORD=4 &&
        COMPREPLY=() && _glowrig && echo "${COMPREPLY[*]}")"
fi

# zsh: the function as compsys would call it, with words, CURRENT and PREFIX
# set and the matches compadd receives filtered by PREFIX as compsys would.
zsh_part() {
    local i got zsh_out
    zsh_out=$(zsh -f -c '
        compadd() {
            while [[ $1 == -* && $1 != -- ]]; do [[ $1 == -S ]] && shift; shift; done
            [[ $1 == -- ]] && shift
            local word
            for word; do [[ $word == ${PREFIX}* ]] && print -rn -- "$IPREFIX$word "; done
        }
        compset() { [[ $1 == -P && $PREFIX == *=* ]] && IPREFIX=${PREFIX%%=*}= && PREFIX=${PREFIX#*=}; }
        for line in "$@"; do
            words=(${(s: :)line})
            [[ $line == *" " ]] && words+=("")
            CURRENT=${#words} PREFIX=${words[-1]} IPREFIX=""
            source '"$completion"'/_glowrig
            print .
        done' zsh "${cases[@]%%|*}")
    i=0
    while IFS= read -r got; do
        check zsh "${cases[i]%%|*}" "${cases[i]#*|}" "${got%.}"
        i=$((i + 1))
    done <<<"$zsh_out"
    [ "$i" -eq "${#cases[@]}" ] || { echo "zsh answered $i of ${#cases[@]} lines"; failed=1; }
}
runs zsh && zsh_part

# fish: its own completion entry point, one process for every line.
fish_part() {
    local i got fish_script case
    fish_script="source '$completion/glowrig.fish'"
    for case in "${cases[@]}"; do
        fish_script+="; echo (complete -C '${case%%|*}' | string replace -r '\\t.*' '') ."
    done
    i=0
    while IFS= read -r got; do
        check fish "${cases[i]%%|*}" "${cases[i]#*|}" "${got%.}"
        i=$((i + 1))
    done < <(fish -N -c "$fish_script")
    [ "$i" -eq "${#cases[@]}" ] || { echo "fish answered $i of ${#cases[@]} lines"; failed=1; }
}
runs fish && fish_part

[ "$failed" -eq 0 ] && echo "completion ok"
exit "$failed"
