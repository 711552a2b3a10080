# fish completion for glowrig: the command words, then the options of the
# command given (each with its "=" form where it takes a value), and the
# values of options that take a few words or a colour name (which may
# differ by command). glowrig itself answers which
# ("glowrig --completions ..."), from the table its help is made from.
# glowrig reads option values only after "=", so the options are offered as
# whole words rather than as fish options.

# The command word on the line so far, in lower case. The command words are
# asked once a shell: every completion asks for them, twice or three times.
function __glowrig_command
    set -q __glowrig_words[1]
    or set -g __glowrig_words (string split ' ' -- (glowrig --completions words 2>/dev/null))
    for word in (commandline -opc)[2..-1]
        set -l word (string lower -- $word)
        if contains -- $word $__glowrig_words
            echo $word
            return 0
        end
    end
    return 1
end

# The options of the command on the line, or the values of the option being
# completed.
function __glowrig_arguments
    set -l token (commandline -ct)
    set -l command (__glowrig_command); or return
    if string match -qr -- '^-' $token; and string match -q -- '*=*' $token
        set -l option (string split -m1 -- = $token)[1]
        for value in (string split ' ' -- (glowrig --completions values $option $command 2>/dev/null))
            test -n "$value"; and echo $option=$value
        end
        return
    end
    string split ' ' -- (glowrig --completions options $command 2>/dev/null)
end

complete -c glowrig -f
complete -c glowrig -n 'not __glowrig_command' -a '$__glowrig_words'
complete -c glowrig -n __glowrig_command -a '(__glowrig_arguments)'
