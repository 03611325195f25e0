#!/usr/bin/env bash
# Ctrl+C (CTRL_C_EVENT; Wine delivers one when the process gets SIGINT) stops tessel-cli.exe as SIGINT stops the
# Linux tessel-cli: a fleet run starts no further device, lets the running one finish and reports the others as
# interrupted; a single device's run ends. Neither leaves the device's lock held.
#   cli_interrupt.sh FIXTURE_FOLDER PASSWORD MANIFEST TESSEL_PACK -- COMMAND...   (COMMAND runs tessel-cli.exe)
. "$(dirname "$0")/device_script_start.sh"

[ -s "$fixture/ports" ] || fail "no simulated devices in $fixture (the fixture did not start them)"
mapfile -t devices < "$fixture/ports"
[ "${#devices[@]}" -ge 3 ] || fail "the test needs at least three simulated devices"
"$pack" build "$manifest" "$work/package" > /dev/null
export TESSEL_PASSWORD=$password

count() { grep -c "$2" "$1" || true; }  # LOG TEXT
# Waits (at most 120 s) until the device's log holds the text more often than before, then interrupts the program
# as Ctrl+C does. The logs go on from the fixture's other tests.
interrupt_when() {  # PID DEVICE_LOG TEXT BEFORE
    for _ in $(seq 1200); do
        [ "$(count "$2" "$3")" -gt "$4" ] && break
        kill -0 "$1" 2>/dev/null || fail "the program ended before the device saw \"$3\""
        sleep 0.1
    done
    [ "$(count "$2" "$3")" -gt "$4" ] || fail "the device did not see \"$3\" within 120 s"
    kill -INT "$1"
}
# Sets status to the exit status of the background program, which must end within 120 s of its interrupt.
wait_for() {  # PID
    for _ in $(seq 1200); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$1" 2>/dev/null && fail "the program did not end within 120 s of Ctrl+C"
    status=0
    wait "$1" || status=$?
    running=""
}
log_of() { read -r n _ <<< "${devices[$1]}"; echo "$fixture/dev$n.log"; }
# A version query of the device: it takes the device's lock, which must be free.
version_of() {  # INDEX NAME
    local console ftp
    read -r _ console ftp <<< "${devices[$1]}"
    timeout 120 "${command[@]}" version --address 127.0.0.1 --login admin --console-port "$console" \
        --ftp-port "$ftp" --package "$work/package" < /dev/null > "$work/$2.out" 2>&1 ||
        { cat "$work/$2.out"; fail "$2: the version query after the interrupt failed"; }
}
command=("$@")

echo "== Ctrl+C during a fleet run"
echo "name,address,login,password,ftp_port,console_port" > "$work/fleet.csv"
# An inventory lists an address once: the second device under another spelling of the loopback address.
spellings=("" 127.0.0.1 127.1)
for i in 1 2; do
    read -r n console ftp <<< "${devices[$i]}"
    echo "device$n,${spellings[$i]},,,$ftp,$console" >> "$work/fleet.csv"
done
second_log=$(log_of 1) waiting_log=$(log_of 2)
installed=$(count "$second_log" 'installed firmware') connected=$(count "$waiting_log" 'connected from')
accepted=$(count "$second_log" 'login accepted')
"$@" firmware --inventory "$work/fleet.csv" --login admin --parallel 1 --package "$work/package" \
    --report "$work/report.json" < /dev/null > "$work/fleet.out" 2> "$work/fleet.err" &
running=$!
interrupt_when "$running" "$second_log" 'login accepted' "$accepted"
wait_for "$running"
[ "$status" -eq 1 ] || { cat "$work/fleet.out" "$work/fleet.err"; fail "the interrupted fleet ended with $status, not 1"; }
grep -q 'stopping: no further device starts' "$work/fleet.err" || { cat "$work/fleet.err"; fail "no stop message"; }
# The running device finished its update; the waiting one never started.
[ "$(count "$second_log" 'installed firmware')" -gt "$installed" ] || fail "the running device did not finish"
[ "$(count "$waiting_log" 'connected from')" -eq "$connected" ] || fail "the waiting device was started"
grep -q '"result": *"interrupted"' "$work/report.json" || { cat "$work/report.json"; fail "no interrupted device"; }
version_of 1 fleet-lock

echo "== Ctrl+C during a single device's update"
read -r _ console ftp <<< "${devices[0]}"
first_log=$(log_of 0)
accepted=$(count "$first_log" 'login accepted')
"$@" firmware --address 127.0.0.1 --login admin --console-port "$console" --ftp-port "$ftp" \
    --package "$work/package" < /dev/null > "$work/single.out" 2>&1 &
running=$!
interrupt_when "$running" "$first_log" 'login accepted' "$accepted"
wait_for "$running"
[ "$status" -ne 0 ] || { cat "$work/single.out"; fail "the interrupted update ended with 0"; }
version_of 0 single-lock
echo "Ctrl+C stopped both runs and left no lock held"
