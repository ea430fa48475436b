# bash completion for korvane-cli. The commands and their options are read
# from korvane-cli's own help, so they never go out of date.
_korvane_cli() {
    local cur prev words cword
    _init_completion || return

    local command="" i
    for ((i = 1; i < cword; i++)); do
        [[ ${words[i]} != -* ]] && { command=${words[i]}; break; }
    done

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '--help --version' -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$(korvane-cli --help 2>/dev/null |
                sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')" -- "$cur"))
        fi
        return
    fi

    # An option with a value: complete the value (files, or the queues).
    local help
    help=$(korvane-cli "$command" --help 2>/dev/null)
    if [[ $prev == -* ]] && grep -qE "^  $prev [A-Za-z]" <<<"$help"; then
        case $prev in
            --printer) COMPREPLY=($(compgen -W "$(lpstat -e 2>/dev/null)" -- "$cur")) ;;
            --mode) COMPREPLY=($(compgen -W 'left right both' -- "$cur")) ;;
            --paper) COMPREPLY=($(compgen -W 'A4 Letter' -- "$cur")) ;;
            *) _filedir ;;
        esac
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(sed -n 's/^  -h, --help.*/-h --help/p; t; s/^  \(-[-a-z]*\).*/\1/p' <<<"$help")" \
            -- "$cur"))
        return
    fi
    _filedir
}
complete -F _korvane_cli korvane-cli
