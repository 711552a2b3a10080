# fish completion for glowrig: the command words, then the options of the
# command given (each with its "=" form where it takes a value), and the
# values of --effect and --alert. glowrig reads option values only after "=",
# so the options are offered as whole words rather than as fish options.

set -l glowrig_commands bridges config lights light groups group schedules schedule state help version

# The command word on the line so far, in lower case.
function __glowrig_command
    for word in (commandline -opc)[2..-1]
        set -l word (string lower -- $word)
        if contains -- $word bridges config lights light groups group schedules schedule state help version
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
    if string match -qr -- '^-' $token; and string match -q -- '*=*' $token
        set -l option (string split -m1 -- = $token)[1]
        switch $option
            case --effect -effect
                printf '%s\n' $option=none $option=colorloop
            case --alert -alert
                printf '%s\n' $option=none $option=select $option=lselect
        end
        return
    end
    switch (__glowrig_command)
        case bridges
            printf '%s\n' --json
        case config
            printf '%s\n' --bridge= --auth --deauth= --updatefw --json --help
        case lights
            printf '%s\n' --bridge= --find --json --help
        case light
            printf '%s\n' --bridge= --id= --on --off --ct= --hue= --sat= --bri= --alert= --effect= \
                --trans= --name= --json --help
        case groups schedules state
            printf '%s\n' --bridge= --json --help
        case group
            printf '%s\n' --bridge= --id= --on --off --ct= --hue= --sat= --bri= --alert= --effect= \
                --trans= --name= -l= --delete --json --help
        case schedule
            printf '%s\n' --bridge= --id= --name= --desc= --delete --json --help
        case help
            printf '%s\n' bridges config lights light groups group schedules schedule state
    end
end

complete -c glowrig -f
complete -c glowrig -n 'not __glowrig_command' -a "$glowrig_commands"
complete -c glowrig -n __glowrig_command -a '(__glowrig_arguments)'
