#!/usr/bin/env bash
# tessel-cli (under Wine for the Windows build) against the simulated devices of devsim_fleet.sh: a firmware
# update of the first device, then a fleet run over the others from an inventory, each with a package that
# tessel-pack builds from the demo manifest.
#   cli_updates.sh FIXTURE_FOLDER PASSWORD MANIFEST TESSEL_PACK -- COMMAND...   (COMMAND runs tessel-cli)
. "$(dirname "$0")/device_script_start.sh"

[ -s "$fixture/ports" ] || fail "no simulated devices in $fixture (the fixture did not start them)"
mapfile -t devices < "$fixture/ports"
[ "${#devices[@]}" -ge 2 ] || fail "the fleet needs at least two simulated devices"
"$pack" build "$manifest" "$work/package" > /dev/null

# Every run is bounded, whatever happens to the program.
run_cli() { timeout 300 "$@"; }

read -r first console ftp <<< "${devices[0]}"
echo "== firmware update of device $first"
run_cli "$@" firmware --address 127.0.0.1 --login admin --password "$password" --console-port "$console" \
    --ftp-port "$ftp" --package "$work/package" > "$work/single.txt" 2>&1 || { cat "$work/single.txt"; fail "the firmware update ended with $?"; }
grep -q 'installed firmware 01.08.00' "$fixture/dev$first.log" || fail "device $first did not install the firmware"

# The other devices under other spellings of the loopback address: the transfer library runs one transfer
# per host at a time.
spellings=(127.0.0.1 127.1 127.0.1)
echo "name,address,login,password,ftp_port,console_port" > "$work/fleet.csv"
for ((i = 1; i < ${#devices[@]}; i++)); do
    read -r n console ftp <<< "${devices[$i]}"
    echo "device$n,${spellings[$((i % ${#spellings[@]}))]},,,$ftp,$console" >> "$work/fleet.csv"
done
echo "== fleet run over $((${#devices[@]} - 1)) devices"
TESSEL_PASSWORD=$password run_cli "$@" firmware --inventory "$work/fleet.csv" --login admin --parallel 4 \
    --package "$work/package" --report "$work/report.json" > "$work/fleet.txt" 2>&1 || { cat "$work/fleet.txt"; fail "the fleet run ended with $?"; }
for ((i = 1; i < ${#devices[@]}; i++)); do
    read -r n _ <<< "${devices[$i]}"
    grep -q 'installed firmware 01.08.00' "$fixture/dev$n.log" || fail "device $n did not install the firmware"
done
succeeded=$(grep -o '"result": *"succeeded"' "$work/report.json" | wc -l)
[ "$succeeded" -eq $((${#devices[@]} - 1)) ] || { cat "$work/report.json"; fail "the report has $succeeded devices succeeded"; }
echo "all ${#devices[@]} devices updated"
