# bash completion for glowrig: the command words, then the options of the
# command given (each with its "=" form where it takes a value).

_glowrig_options() {
    case "$1" in
        bridges) echo "--json" ;;
        config) echo "--bridge= --auth --deauth= --updatefw --json --help" ;;
        lights) echo "--bridge= --find --json --help" ;;
        light) echo "--bridge= --id= --on --off --ct= --hue= --sat= --bri= --alert= --effect= --trans= --name= --json --help" ;;
        groups | schedules | state) echo "--bridge= --json --help" ;;
        group) echo "--bridge= --id= --on --off --ct= --hue= --sat= --bri= --alert= --effect= --trans= --name= -l= --delete --json --help" ;;
        schedule) echo "--bridge= --id= --name= --desc= --delete --json --help" ;;
        help) echo "bridges config lights light groups group schedules schedule state" ;;
    esac
}

_glowrig() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local words="bridges config lights light groups group schedules schedule state help version"
    local command="" i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case " $words " in
            *" ${COMP_WORDS[i],,} "*) command=${COMP_WORDS[i],,}; break ;;
        esac
    done
    if [ -z "$command" ]; then
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
        return
    fi
    COMPREPLY=($(compgen -W "$(_glowrig_options "$command")" -- "$cur"))
    # An option that takes a value gets no blank after its "=".
    if [ "${#COMPREPLY[@]}" -eq 1 ] && [[ ${COMPREPLY[0]} == *= ]]; then
        compopt -o nospace 2>/dev/null
    fi
}

complete -F _glowrig glowrig
