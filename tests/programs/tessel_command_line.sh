#!/usr/bin/env bash
# tessel answers --help without a window system, as it does --version, and refuses a device port that is no
# number from 1 to 65535 with a message that names the option and exit status 2.
#   tessel_command_line.sh PROGRAM
set -euo pipefail
program=$1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 700 "$work"

for help in --help -h --help-all; do
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$work" \
        timeout 20 "$program" "$help" > "$work/out" 2> "$work/err" || status=$?
    [ "$status" -eq 0 ] || fail "$help without a display ends with status $status: $(cat "$work/err")"
    for option in --package --ftp-port --console-port --version; do
        grep -qF -- "$option" "$work/out" || fail "$help does not list $option"
    done
done

refuse() {
    local option=$1 value=$2 status=0
    QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" \
        timeout 20 "$program" "$option=$value" > "$work/out" 2> "$work/err" || status=$?
    [ "$status" -eq 2 ] || fail "$option=$value ends with status $status, not 2"
    grep -qF -- "$option takes a port number from 1 to 65535, not \"$value\"" "$work/err" ||
        fail "$option=$value is refused without saying why: $(cat "$work/err")"
}
for value in 0 65536 abc 21x -21 " 21" ""; do
    refuse --ftp-port "$value"
    refuse --console-port "$value"
done

[ "$failures" -eq 0 ] || exit 1
echo "tessel: help without a display, bad ports refused"
