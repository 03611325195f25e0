#!/usr/bin/env bash
# tessel-pack.exe and tessel-cli.exe write their Japanese texts on a console as text: run on a pseudo-terminal,
# Wine gives them a console, whose screen it draws on the terminal in UTF-8 with escape sequences for the cursor.
# Without the console's own text the UTF-8 bytes showed as characters of the ANSI code page (mojibake).
#   console_text.sh MANIFEST TESSEL_PACK -- PACK_COMMAND... -- CLI_COMMAND...
set -euo pipefail
[ $# -ge 6 ] && [ "$3" = "--" ] || { echo "usage: $0 MANIFEST TESSEL_PACK -- PACK_COMMAND... -- CLI_COMMAND..." >&2; exit 2; }
manifest=$1 linux_pack=$2
shift 3
pack_command=() cli_command=()
while [ "$1" != "--" ]; do pack_command+=("$1"); shift; done
shift
cli_command=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
command -v script > /dev/null || fail "script (util-linux) is missing"

"$linux_pack" build "$manifest" "$work/package" > /dev/null
# The screen's text: the terminal's output without its escape sequences and line ends.
on_console() {  # OUTPUT COMMAND...
    local output=$1 quoted
    shift
    printf -v quoted '%q ' "$@"
    timeout 120 script -q -e -c "$quoted" /dev/null < /dev/null > "$output.raw" || true
    sed 's/\x1b\[[0-9;?]*[A-Za-z]//g; s/\x1b\][^\x07]*\x07//g' "$output.raw" | tr -d '\r' > "$output"
}

on_console "$work/pack.txt" "${pack_command[@]}" show "$work/package"
grep -qF 'デモ・アップデート' "$work/pack.txt" || { cat "$work/pack.txt"; fail "tessel-pack.exe: no caption on the console"; }

# Port 9 on loopback refuses at once: the first upload fails with the program's Japanese message.
on_console "$work/cli.txt" "${cli_command[@]}" firmware --address 127.0.0.1 --login a --password b \
    --console-port 9 --ftp-port 9 --package "$work/package"
grep -qF 'FTP送信エラー(コネクションエラー)' "$work/cli.txt" || { cat "$work/cli.txt"; fail "tessel-cli.exe: no message"; }
grep -qF 'デモ・アップデート' "$work/cli.txt" || { cat "$work/cli.txt"; fail "tessel-cli.exe: no caption"; }
echo "both programs write Japanese text on a console"
