# bash completion for glowrig: the command words, then the options of the
# command given (each with its "=" form where it takes a value), and the
# values of --effect and --alert.

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

# The values an option takes, when glowrig knows them all.
_glowrig_values() {
    case "$1" in
        -effect | --effect) echo "none colorloop" ;;
        -alert | --alert) echo "none select lselect" ;;
    esac
}

_glowrig() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    # A value after "=": bash splits "--effect=co" into "--effect" "=" "co"
    # (with "=" among its word breaks), or leaves it one word.
    local option="" value=""
    if [ "$cur" = "=" ] && [ "$COMP_CWORD" -ge 1 ]; then
        option=${COMP_WORDS[COMP_CWORD - 1]}
    elif [ "$COMP_CWORD" -ge 2 ] && [ "${COMP_WORDS[COMP_CWORD - 1]}" = "=" ]; then
        option=${COMP_WORDS[COMP_CWORD - 2]} value=$cur
    elif [[ $cur == -*=* ]]; then
        option=${cur%%=*} value=${cur#*=}
    fi
    if [ -n "$option" ]; then
        local values
        values=$(_glowrig_values "$option")
        [ -n "$values" ] || return
        COMPREPLY=($(compgen -W "$values" -- "$value"))
        if [[ $cur == -*=* ]]; then
            COMPREPLY=("${COMPREPLY[@]/#/$option=}")
        fi
        return
    fi
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
