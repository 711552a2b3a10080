# bash completion for glowrig: the command words, then the options of the
# command given (each with its "=" form where it takes a value), and the
# values of options that take a few words or a colour name (which may
# differ by command). glowrig itself answers which
# ("glowrig --completions ..."), from the table its help is made from.

_glowrig() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local program=${COMP_WORDS[0]}
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
    local words
    words=$("$program" --completions words 2>/dev/null)
    local command="" i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case " $words " in
            *" ${COMP_WORDS[i],,} "*) command=${COMP_WORDS[i],,}; break ;;
        esac
    done
    if [ -n "$option" ]; then
        # The command too: "--type" takes other values for "group" than for "watch".
        local values
        values=$("$program" --completions values "$option" $command 2>/dev/null)
        [ -n "$values" ] || return
        COMPREPLY=($(compgen -W "$values" -- "$value"))
        if [[ $cur == -*=* ]]; then
            COMPREPLY=("${COMPREPLY[@]/#/$option=}")
        fi
        return
    fi
    if [ -z "$command" ]; then
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
        return
    fi
    COMPREPLY=($(compgen -W "$("$program" --completions options "$command" 2>/dev/null)" -- "$cur"))
    # An option that takes a value gets no blank after its "=".
    if [ "${#COMPREPLY[@]}" -eq 1 ] && [[ ${COMPREPLY[0]} == *= ]]; then
        compopt -o nospace 2>/dev/null
    fi
}

complete -F _glowrig glowrig
