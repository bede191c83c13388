# bash completion for quelt-cli. Commands, options and their values are read from the
# program itself (its --help texts and its lists), so they follow the installed version.

# The command names under "Commands:" in quelt-cli --help ("formats | presets" gives both).
_quelt_cli_commands() {
    "$1" --help 2>/dev/null | awk '
        /^Commands:/ { on = 1; next }
        on && /^$/ { exit }
        on && /^  [a-z]/ { print $1; if ($2 == "|" && $3 ~ /^[a-z]+$/) print $3 }'
}

# The options of one command; with "values", only those that take a value.
_quelt_cli_options() {
    local pattern='^  --[^ ]+'
    [[ $3 == values ]] && pattern='^  --[^ ]+ [^ ]'
    "$1" "$2" --help 2>/dev/null | awk -v p="$pattern" '$0 ~ p { print $1 }'
}

# Adds the words of $2 (one per line) that start with $1, quoted for the command line.
_quelt_cli_add() {
    local word
    while IFS= read -r word; do
        [[ -n $word && $word == "$1"* ]] && COMPREPLY+=("$(printf '%q' "$word")")
    done <<<"$2"
}

_quelt_cli() {
    local cur prev words cword
    _init_completion -n : || return
    local program=${words[0]} command="" i
    for ((i = 1; i < cword; i++)); do
        if [[ ${words[i]} != -* ]]; then
            command=${words[i]}
            break
        fi
    done

    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$(_quelt_cli_commands "$program") --help --version" -- "$cur"))
        return
    fi

    case $prev in
        --format)
            # Rows and extensions, with and without the dot.
            local extensions
            extensions=$("$program" formats 2>/dev/null | cut -f2 | cut -d' ' -f1)
            _quelt_cli_add "$cur" "$("$program" formats 2>/dev/null | cut -f1)"
            _quelt_cli_add "$cur" "$extensions"
            _quelt_cli_add "$cur" "${extensions//./}"
            return ;;
        --preset)
            # Rows and labels (quoted: they hold blanks).
            local rows
            rows=$("$program" presets 2>/dev/null)
            _quelt_cli_add "$cur" "$(cut -f1 <<<"$rows")"
            _quelt_cli_add "$cur" "$(cut -f2 <<<"$rows")"
            return ;;
        --drive)
            _quelt_cli_add "$cur" "demo"
            _quelt_cli_add "$cur" "$("$program" drives 2>/dev/null | sed -n 's/^\[\([^]]*\)\].*/\1/p')"
            _filedir '@(cue|toc|nrg)'
            return ;;
        --writer)
            _quelt_cli_add "$cur" "$("$program" writers 2>/dev/null | cut -f1)"
            _quelt_cli_add "$cur" "image"
            return ;;
        --if-exists)
            COMPREPLY=($(compgen -W "new overwrite skip" -- "$cur"))
            return ;;
        --case)
            COMPREPLY=($(compgen -W "1 2 3 4" -- "$cur"))
            return ;;
        --output-dir)
            _filedir -d
            return ;;
        --image)
            _filedir
            return ;;
    esac
    # Any other option that takes a value: nothing sensible to offer.
    if [[ $prev == --* ]] && grep -qx -- "$prev" <<<"$(_quelt_cli_options "$program" "$command" values)"; then
        return
    fi

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_quelt_cli_options "$program" "$command")" -- "$cur"))
        return
    fi

    if [[ $command == settings ]]; then
        local words_after=() word
        for ((i = i + 1; i < cword; i++)); do
            [[ ${words[i]} != -* ]] && words_after+=("${words[i]}")
        done
        case ${#words_after[@]} in
            0) COMPREPLY=($(compgen -W "list get set" -- "$cur")) ;;
            1) [[ ${words_after[0]} == [gs]et ]] &&
                COMPREPLY=($(compgen -W "$("$program" settings list 2>/dev/null | cut -f1 | sort -u)" -- "$cur")) ;;
            2) [[ ${words_after[0]} == [gs]et ]] &&
                COMPREPLY=($(compgen -W "$("$program" settings list 2>/dev/null |
                    awk -F'\t' -v s="${words_after[1]}" 'tolower($1) == tolower(s) { print $2 }')" -- "$cur")) ;;
        esac
        return
    fi

    case $command in
        formats | presets | drives | writers | disc | rip | offset) ;;
        *) _filedir ;;
    esac
}
complete -F _quelt_cli quelt-cli
