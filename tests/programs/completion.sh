#!/usr/bin/env bash
# The bash completion of tessel-cli offers every option its --help lists and the four procedures,
# and no procedure once one is given.
#   completion.sh PROGRAM COMPLETION_FILE
set -euo pipefail
program=$1
completion=$2
source /usr/share/bash-completion/bash_completion
source "$completion"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

complete_line() {
    COMP_LINE=$1
    COMP_POINT=${#COMP_LINE}
    read -ra COMP_WORDS <<< "$COMP_LINE"
    [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _tessel_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort -u
}

offered=$(complete_line "tessel-cli firmware --")
listed=$(timeout 20 "$program" --help | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u)
missing=$(comm -23 <(echo "$listed") <(echo "$offered"))
extra=$(comm -13 <(echo "$listed") <(echo "$offered"))
[ -z "$missing" ] || fail "options --help lists that completion does not offer: $missing"
[ -z "$extra" ] || fail "options completion offers that --help does not list: $extra"

procedures=$(timeout 20 "$program" --help | sed -n '1s/^Usage: tessel-cli \([a-z|-]*\) .*/\1/p' | tr '|' '\n' | sort)
[ -n "$procedures" ] || fail "the usage line names no procedure"
[ "$(complete_line "tessel-cli ")" = "$procedures" ] || fail "the first word does not offer: $procedures"
[ "$(complete_line "tessel-cli re")" = "restore-autoscript" ] || fail "\"re\" does not complete to restore-autoscript"
[ -z "$(complete_line "tessel-cli script --verbose ")" ] || fail "a second procedure is offered"

[ "$failures" -eq 0 ] || exit 1
echo "completion: $(wc -w <<< "$offered") options, $(wc -w <<< "$procedures") procedures"
