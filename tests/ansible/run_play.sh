#!/usr/bin/env bash
# The sample play against three simulated devices, forks 3, with a signed package and its key trusted: one
# succeeds, one has a wrong password, one is down. Checks the play's recap, that only the first device got
# its firmware, and that the result names the package's signer.
#   run_play.sh TESSEL_CLI TESSEL_DEVSIM TESSEL_PACK SOURCE_DIR
set -euo pipefail
cli=$1 devsim=$2 pack=$3 source=$4
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

start_device() {  # name password
    "$devsim" --root "$work/$1" --console-port 0 --password "$2" --restart-time 300 --expansion-delay 20 \
        > "$work/$1.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do grep -q '^ready ' "$work/$1.log" && return 0; sleep 0.1; done
    echo "device $1 did not start"; cat "$work/$1.log"; return 1
}
ports() { sed -n 's/^ready console=\([0-9]*\) ftp=\([0-9]*\)$/tessel_console_port=\1 tessel_ftp_port=\2/p' "$work/$1.log"; }

"$pack" keygen "$work/maker" > /dev/null
mkdir "$work/trusted" && cp "$work/maker.pub" "$work/trusted/"
"$pack" build "$source/examples/demo/manifest.toml" "$work/package" --sign "$work/maker.key" > /dev/null
start_device good pw-ansible-1
start_device locked other-password
cat > "$work/inventory.ini" <<INVENTORY
[loggers]
good   tessel_address=127.0.0.1 $(ports good)
locked tessel_address=127.1 $(ports locked)
down   tessel_address=127.0.1 tessel_console_port=1 tessel_ftp_port=1

[loggers:vars]
tessel_password=pw-ansible-1
tessel_cli=$cli
tessel_trusted_keys=$work/trusted
ansible_python_interpreter=/usr/bin/python3
INVENTORY

status=0
XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work" ANSIBLE_NOCOLOR=1 ANSIBLE_HOST_KEY_CHECKING=0 \
    ANSIBLE_LOCAL_TEMP="$work/ansible" ANSIBLE_HOME="$work/ansible-home" \
    timeout 300 ansible-playbook -i "$work/inventory.ini" -f 3 -e "package=$work/package" \
    "$source/contrib/ansible/update_loggers.yml" > "$work/play.txt" 2>&1 || status=$?
cat "$work/play.txt"
[ "$status" -ne 0 ] || { echo "the play reported no failure"; exit 1; }
grep -Eq '^good +: ok=2 +changed=1 +unreachable=0 +failed=0' "$work/play.txt" || { echo "good did not succeed"; exit 1; }
grep -Eq '^locked +: ok=0 +changed=0 +unreachable=0 +failed=1' "$work/play.txt" || { echo "locked did not fail"; exit 1; }
grep -Eq '^down +: ok=0 +changed=0 +unreachable=0 +failed=1' "$work/play.txt" || { echo "down did not fail"; exit 1; }
grep -q 'installed firmware 01.08.00' "$work/good.log" || { echo "good has no new firmware"; exit 1; }
if grep -q 'installed firmware' "$work/locked.log"; then echo "locked got firmware"; exit 1; fi
grep -q 'package signer: maker' "$work/play.txt" || { echo "the result does not name the signer"; exit 1; }
if grep -q 'pw-ansible-1' "$work/play.txt"; then echo "the password shows in the play's output"; exit 1; fi
echo "play: good succeeded, locked and down failed"
