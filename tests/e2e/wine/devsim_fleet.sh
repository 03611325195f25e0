#!/usr/bin/env bash
# Simulated devices for the Windows programs' end-to-end tests, run on the Linux side: a program under Wine can
# start a Linux process, but cannot wait for it, read its exit status or stop it.
#   devsim_fleet.sh start FOLDER DEVSIM COUNT PASSWORD   starts COUNT devices on free loopback ports; writes
#                                                         FOLDER/ports ("N CONSOLE_PORT FTP_PORT" a line)
#   devsim_fleet.sh stop FOLDER                          stops them and removes FOLDER
set -euo pipefail

stop() {
    local folder=$1 pid
    for pid_file in "$folder"/dev*.pid; do
        [ -e "$pid_file" ] || continue
        pid=$(cat "$pid_file")
        kill "$pid" 2>/dev/null || true
        # Bounded: 10 s, then at once.
        for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
    done
    rm -rf "$folder"
}

start() {
    local folder=$1 devsim=$2 count=$3 password=$4 i ready
    rm -rf "$folder"
    mkdir -p "$folder"
    : > "$folder/ports.part"
    for i in $(seq "$count"); do
        mkdir -p "$folder/dev$i"
        # Port 0: the system picks free ports, which the device prints once it listens.
        "$devsim" --root "$folder/dev$i" --console-port 0 --ftp-port 0 --login admin --password "$password" \
            --firmware-version 1.06.00 --restart-time 300 > "$folder/dev$i.log" 2>&1 &
        echo $! > "$folder/dev$i.pid"
    done
    for i in $(seq "$count"); do
        ready=""
        for _ in $(seq 300); do
            ready=$(grep -m1 '^ready ' "$folder/dev$i.log" || true)
            [ -n "$ready" ] && break
            sleep 0.1
        done
        if [ -z "$ready" ]; then
            echo "simulated device $i did not start within 30 s:" >&2
            cat "$folder/dev$i.log" >&2
            stop "$folder"
            exit 1
        fi
        echo "$i $(sed 's/.*console=\([0-9]*\).*/\1/' <<< "$ready") $(sed 's/.*ftp=\([0-9]*\).*/\1/' <<< "$ready")" \
            >> "$folder/ports.part"
    done
    mv "$folder/ports.part" "$folder/ports"
}

case ${1:-} in
    start) [ $# -eq 5 ] || { echo "usage: $0 start FOLDER DEVSIM COUNT PASSWORD" >&2; exit 2; }; start "$2" "$3" "$4" "$5" ;;
    stop) [ $# -eq 2 ] || { echo "usage: $0 stop FOLDER" >&2; exit 2; }; stop "$2" ;;
    *) echo "usage: $0 start|stop ..." >&2; exit 2 ;;
esac
