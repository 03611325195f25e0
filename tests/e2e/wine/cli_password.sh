#!/usr/bin/env bash
# tessel-cli.exe takes a password with Japanese characters from each of its sources (the command line, the
# environment, a pipe) and the simulated device receives it in code page 932, as from the Linux tessel-cli; a
# wrong one fails with the program's message, and the Japanese text redirected to a file is UTF-8 (the script
# is UTF-8 too: its Japanese texts are those bytes).
#   cli_password.sh FIXTURE_FOLDER PASSWORD MANIFEST TESSEL_PACK -- COMMAND...   (COMMAND runs tessel-cli.exe)
# The device of the fixture (devsim_fleet.sh) holds PASSWORD in code page 932: only those bytes log in.
. "$(dirname "$0")/device_script_start.sh"

[ -s "$fixture/ports" ] || fail "no simulated device in $fixture (the fixture did not start it)"
read -r n console ftp < "$fixture/ports"
device_log=$fixture/dev$n.log
"$pack" build "$manifest" "$work/package" > /dev/null

# The firmware version of the device: console and FTP both log in with the password. Bounded, whatever happens.
version() {
    timeout 120 "$@" version --address 127.0.0.1 --login admin --console-port "$console" --ftp-port "$ftp" \
        --package "$work/package"
}
accepted() { grep -c 'login accepted' "$device_log" || true; }
expect_version() {  # NAME: the run whose output is in $work/NAME.out and .err succeeded and read the version
    grep -q 'firmware 01.06.00' "$work/$1.out" || { cat "$work/$1.out" "$work/$1.err"; fail "$1: no version read"; }
}

echo "== the password on the command line, in the environment and from a pipe"
before=$(accepted)
version "$@" --password "$password" < /dev/null > "$work/argument.out" 2> "$work/argument.err" ||
    { cat "$work/argument.err"; fail "--password: the run failed"; }
expect_version argument
TESSEL_PASSWORD=$password version "$@" < /dev/null > "$work/environment.out" 2> "$work/environment.err" ||
    { cat "$work/environment.err"; fail "TESSEL_PASSWORD: the run failed"; }
expect_version environment
printf '%s\r\n' "$password" | version "$@" > "$work/pipe.out" 2> "$work/pipe.err" ||
    { cat "$work/pipe.err"; fail "a piped password: the run failed"; }
expect_version pipe
[ "$(accepted)" -eq $((before + 3)) ] || { cat "$device_log"; fail "the device did not accept each login"; }

echo "== the password typed on a console, not shown"
# On a pseudo-terminal Wine gives the program a console, whose screen it draws on the terminal with escape
# sequences for the cursor: the screen's text is the output without them. Keys reach it through script's input.
screen() { sed 's/\x1b\[[0-9;?]*[A-Za-z]//g; s/\x1b\][^\x07]*\x07//g' "$1" | tr -d '\r'; }
mkfifo "$work/keys"
printf -v typed_command '%q ' "$@" version --address 127.0.0.1 --login admin --console-port "$console" \
    --ftp-port "$ftp" --package "$work/package"
timeout 120 script -q -e -c "$typed_command" /dev/null < "$work/keys" > "$work/console.raw" &
console_run=$!
exec 3> "$work/keys"
for _ in $(seq 1200); do
    screen "$work/console.raw" | grep -q 'Password:' && break
    kill -0 "$console_run" 2>/dev/null || break
    sleep 0.1
done
screen "$work/console.raw" | grep -q 'Password:' || { screen "$work/console.raw"; fail "no prompt within 120 s"; }
printf '%s\r' "$password" >&3
status=0
wait "$console_run" || status=$?
exec 3>&-
screen "$work/console.raw" > "$work/console.txt"
[ "$status" -eq 0 ] || { cat "$work/console.txt"; fail "a typed password: the run ended with $status"; }
grep -qE 'firmware ?01.06.00' "$work/console.txt" || { cat "$work/console.txt"; fail "a typed password: no version"; }
! grep -qF "$password" "$work/console.txt" || { cat "$work/console.txt"; fail "the typed password was shown"; }
[ "$(accepted)" -eq $((before + 4)) ] || { cat "$device_log"; fail "the device did not accept the typed password"; }

echo "== a wrong password"
status=0
TESSEL_PASSWORD="${password}違う" version "$@" < /dev/null > "$work/wrong.out" 2> "$work/wrong.err" || status=$?
[ "$status" -eq 1 ] || { cat "$work/wrong.err"; fail "a wrong password ended with $status, not 1"; }
# The device's FTP service refuses it first: the program's message, as UTF-8 bytes in the file.
grep -qF 'FTP送信エラー[GetSysVer](コネクションエラー)' "$work/wrong.err" ||
    { cat "$work/wrong.err"; fail "no FTP login error message in UTF-8"; }
iconv -f UTF-8 -t UTF-8 "$work/wrong.err" > /dev/null || fail "the redirected error output is not UTF-8"

echo "== no password at all"
status=0
printf '' | version "$@" > "$work/none.out" 2> "$work/none.err" || status=$?
[ "$status" -eq 2 ] && grep -q 'no password' "$work/none.err" || { cat "$work/none.err"; fail "no password ended with $status"; }
echo "the device received each password"
