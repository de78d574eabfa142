# SPDX-License-Identifier: BSL-1.0
# bash completion for tavtool: commands, options, the values an option
# chooses from, and file names. It reads them from tavtool's own --help, so
# that it knows whatever the tavtool it completes for knows.

# The help of the command that the words before the cursor name.
_tavtool_help() {
    local tool=$1; shift
    local -a path=()
    local word subcommands
    for word in "$@"; do
        subcommands=$("$tool" "${path[@]}" --help 2>/dev/null | sed -n '/^Subcommands:/,/^$/s/^  \([a-z0-9-]*\) .*/\1/p')
        [[ $'\n'$subcommands$'\n' == *$'\n'$word$'\n'* ]] || break
        path+=("$word")
    done
    "$tool" "${path[@]}" --help 2>/dev/null
}

_tavtool() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local help
    help=$(_tavtool_help "${COMP_WORDS[0]}" "${COMP_WORDS[@]:1:COMP_CWORD-1}")
    # An option's line: "  -o,--output TEXT ..." or "  --convention TEXT:{tav,published,auto}=auto".
    local line= value=
    if [[ $prev =~ ^--?[a-zA-Z][a-zA-Z0-9-]*$ ]]; then
        line=$(printf '%s\n' "$help" | grep -E -m 1 "^  ([^ ]*,)?$prev(,[^ ]*)?( |\$)")
    fi
    if [[ -n $line ]]; then
        value=${line#  }
        [[ $value == *' '* ]] && value=${value#* } || value=
        value=${value# *}
        if [[ $value == *:{*}* ]]; then  # a choice
            local choices=${value#*:\{}
            choices=${choices%%\}*}
            mapfile -t COMPREPLY < <(compgen -W "${choices//,/ }" -- "$cur")
            return
        fi
        if [[ $value == [A-Z]* ]]; then  # TEXT, UINT: a value
            [[ $prev == -o || $prev == --output ]] && mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return  # any other value is the user's to type
        fi
    fi
    if [[ $cur == -* ]]; then
        local options
        options=$(printf '%s\n' "$help" | sed -n '/^Options:/,/^$/p' | grep -oE -- '(^|[ ,])--?[a-zA-Z][a-zA-Z0-9-]*' |
                  tr -d ' ,')
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    local subcommands
    subcommands=$(printf '%s\n' "$help" | sed -n '/^Subcommands:/,/^$/s/^  \([a-z0-9-]*\) .*/\1/p')
    if [[ -n $subcommands ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$subcommands" -- "$cur")
    else
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        compopt -o filenames 2>/dev/null
    fi
}
complete -F _tavtool tavtool
