#!/usr/bin/env bash
# A program's bash completion offers its commands as the first word and no command after one, and,
# over the given command lines that end in "--", exactly the options its --help lists.
#   completion.sh PROGRAM COMPLETION_FILE LINE...
set -euo pipefail
program=$1
completion=$2
shift 2
name=$(basename "$program")
function=_${name//-/_}
source /usr/share/bash-completion/bash_completion
source "$completion"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# File names are offered for some words: complete in an empty folder, so that none looks like a command.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

complete_line() {
    COMP_LINE=$1
    COMP_POINT=${#COMP_LINE}
    read -ra COMP_WORDS <<< "$COMP_LINE"
    [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    "$function"
    printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort -u
}

help=$(timeout 20 "$program" --help)
offered=$(for line in "$@"; do complete_line "$line"; done | sort -u)
listed=$(grep -oE -- '--[a-z][a-z0-9-]*' <<< "$help" | sort -u)
missing=$(comm -23 <(echo "$listed") <(echo "$offered"))
extra=$(comm -13 <(echo "$listed") <(echo "$offered"))
[ -z "$missing" ] || fail "options --help lists that completion does not offer: $missing"
[ -z "$extra" ] || fail "options completion offers that --help does not list: $extra"

# The usage lines name the commands: "Usage: PROGRAM a|b ..." and "       PROGRAM c ...".
commands=$(sed -nE "s/^(Usage:)? +$name ([a-z][a-z|-]*).*/\\2/p" <<< "$help" | tr '|' '\n' | sort -u)
[ -n "$commands" ] || fail "the usage lines name no command"
[ "$(complete_line "$name ")" = "$commands" ] || fail "the first word does not offer: $commands"
for command in $commands; do
    complete_line "$name ${command:0:3}" | grep -qx -- "$command" || fail "\"${command:0:3}\" does not offer $command"
    after=$(complete_line "$name $command ")
    [ -z "$(comm -12 <(echo "$commands") <(echo "$after"))" ] || fail "a second command is offered after $command"
done

[ "$failures" -eq 0 ] || exit 1
echo "completion of $name: $(wc -w <<< "$offered") options, $(wc -w <<< "$commands") commands"
