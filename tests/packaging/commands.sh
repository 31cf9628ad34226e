#!/usr/bin/env bash
# The manual page and the bash completion name exactly the commands and the
# options that the command's --help gives.
# Usage: commands.sh ZXWIZARD MANPAGE COMPLETION
set -euo pipefail
zxwizard=$1 manpage=$2 completion=$3
failures=0
differ() {  # what, from --help, from the other
    [ "$2" = "$3" ] && return
    echo "$1: --help has [$2], but [$3]"
    failures=$((failures + 1))
}
words() { tr ' ' '\n' | grep -v '^$' | sort -u | tr '\n' ' '; }

compopt() { :; }  # only bash's completion machinery may call it
# shellcheck source=/dev/null
source "$completion"
complete_words() {  # the words of a command line, the last being completed
    COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMPREPLY=()
    _zxwizard
    echo "${COMPREPLY[*]}" | words
}

commands=$("$zxwizard" --help | sed -n '/^Commands:/,/^$/p' | grep -oE '(^  |/ )[a-z-]+' |
    sed 's/^[ /]*//' | words)
differ "commands in the manual page" "$commands" \
    "$(grep '^\.SS ' "$manpage" | grep -oE 'zxwizard [a-z-]+' | sed 's/zxwizard //' | words)"
differ "commands completed" "$(echo "$commands --help" | words)" "$(complete_words zxwizard '')"

for command in $commands; do
    help=$("$zxwizard" "$command" --help) || { echo "$command --help: exit $?"; exit 1; }
    options=$(echo "$help" | grep -oE '^ +(-[a-z], )?--[a-z-]+' | grep -oE -- '--[a-z-]+' |
        grep -v -- '--help' | words || true)
    section=$(awk -v c="$command" '/^\.S[SH] /{ on = index($0, "zxwizard " c " ") || index($0, "zxwizard " c "\"") } on' "$manpage")
    differ "options of $command in the manual page" "$options" \
        "$(echo "$section" | sed 's/\\-/-/g' | grep -oE -- '--[a-z-]+' | words || true)"
    differ "options of $command completed" "$(echo "$options --help" | words)" "$(complete_words zxwizard "$command" --)"
done
differ "subsystem codes completed" "AA IA PU SA ST " "$(complete_words zxwizard run --sys '')"
differ "subsystem codes completed in any case" "SA ST " "$(complete_words zxwizard show --sys s)"

[ $failures -eq 0 ] && echo "the manual page and the completion agree with --help"
exit $((failures > 0))
