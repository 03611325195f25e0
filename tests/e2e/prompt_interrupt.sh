#!/usr/bin/env bash
# Ctrl+C typed at tessel-cli's password prompt, on a pseudo-terminal: the program ends as an interrupted run
# (not as a run without a password), and the terminal has its echo back for the shell that goes on using it.
#   prompt_interrupt.sh terminal|console -- COMMAND...
# terminal: COMMAND runs on the pseudo-terminal itself (Linux), whose settings are checked after it ends.
# console: COMMAND runs under Wine, which puts a console of its own on the terminal and gives the terminal its
#          settings back itself: only how the program ended is checked.
set -euo pipefail
[ $# -ge 3 ] && [ "$2" = "--" ] || { echo "usage: $0 terminal|console -- COMMAND..." >&2; exit 2; }
mode=$1
shift 2
work=$(mktemp -d)
running=""
cleanup() {
    [ -z "$running" ] || kill -9 "$running" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
command -v script > /dev/null || fail "script (util-linux) is missing"
screen() { sed 's/\x1b\[[0-9;?]*[A-Za-z]//g; s/\x1b\][^\x07]*\x07//g' "$work/screen.raw" | tr -d '\r'; }

# No server is needed: the prompt comes before anything connects. The shell on the terminal survives the
# interrupt (a trap is reset to the default action in the program it starts) and tells what followed.
printf -v program '%q ' "$@" version --address 127.0.0.1 --login admin --console-port 9 --ftp-port 9
mkfifo "$work/keys"
timeout 120 script -q -c "trap 'true' INT; $program; echo \"status=\$?\"; stty -a" /dev/null \
    < "$work/keys" > "$work/screen.raw" &
running=$!
exec 3> "$work/keys"
for _ in $(seq 1200); do
    screen | grep -q 'Password:' && break
    kill -0 "$running" 2>/dev/null || break
    sleep 0.1
done
screen | grep -q 'Password:' || { screen; fail "no prompt within 120 s"; }
printf '\003' >&3
for _ in $(seq 1200); do kill -0 "$running" 2>/dev/null || break; sleep 0.1; done
kill -0 "$running" 2>/dev/null && fail "the program did not end within 120 s of Ctrl+C"
wait "$running" || true
running=""
exec 3>&-
screen > "$work/screen.txt"

status=$(sed -n 's/.*status=\([0-9]*\).*/\1/p' "$work/screen.txt")
[ -n "$status" ] || { cat "$work/screen.txt"; fail "the shell did not go on after the program"; }
# SIGINT's 130 on Linux; STATUS_CONTROL_C_EXIT's low byte (58) under Wine.
[ "$status" -ne 0 ] || { cat "$work/screen.txt"; fail "the interrupted program ended with 0"; }
! grep -q 'no password' "$work/screen.txt" || { cat "$work/screen.txt"; fail "ended as a run without a password"; }
if [ "$mode" = terminal ]; then
    grep -qE '(^| )echo( |$)' "$work/screen.txt" || { cat "$work/screen.txt"; fail "the terminal was left without echo"; }
fi
echo "Ctrl+C at the prompt ended the program with status $status"
