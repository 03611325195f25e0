#!/usr/bin/env bash
# Runs inside a fresh root where the Debian packages are installed (scripts/check-install copies it
# there with the library's consumer): the installed programs answer --version, the installed
# tessel-pack builds the installed sample package, a whole firmware update runs from the installed
# tessel-cli against the installed tessel-devsim, and a program builds against libskiffs-dev with
# find_package and with pkg-config.
#   installed_programs.sh DIR VERSION    (DIR holds consumer/)
set -euo pipefail
here=$1
version=$2
work=$(mktemp -d)
devsim=
stop_devsim() {
    [ -n "$devsim" ] || return 0
    kill "$devsim" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$devsim" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$devsim" 2>/dev/null || true
    wait "$devsim" 2>/dev/null || true
    devsim=
}
trap 'stop_devsim; rm -rf "$work"' EXIT

echo "-- versions"
for program in tessel tessel-cli tessel-pack tessel-devsim; do
    versions=$(timeout 20 "$program" --version)
    first=${versions%%$'\n'*}
    echo "$first"
    [ "$first" = "$program $version" ] || { echo "FAIL: $program --version says \"$first\""; exit 1; }
done
timeout 20 tessel-cli --version

demo=/usr/share/doc/tessel/examples/demo/manifest.toml
echo "-- installed files"
for file in /usr/share/applications/tessel.desktop /usr/share/icons/hicolor/scalable/apps/tessel.svg \
    /usr/share/bash-completion/completions/tessel-cli /usr/share/man/man1/tessel.1.gz \
    /usr/share/bash-completion/completions/tessel-pack /usr/share/man/man1/tessel-cli.1.gz \
    /usr/share/man/man1/tessel-pack.1.gz /usr/share/man/man1/tessel-devsim.1.gz \
    /usr/share/tessel-devsim/ftp_server.py "$demo"; do
    [ -f "$file" ] || { echo "FAIL: $file is not installed"; exit 1; }
done

echo "-- the installed tessel-pack builds and verifies the sample package"
timeout 60 tessel-pack build "$demo" "$work/package"
timeout 60 tessel-pack verify "$work/package"

echo "-- a firmware update from the installed tessel-cli against the installed tessel-devsim"
tessel-devsim --root "$work/device" --console-port 0 --ftp-port 0 --login admin --password demo \
    --firmware-version 1.06.00 --restart-time 500 --expansion-delay 20 > "$work/devsim.log" 2>&1 &
devsim=$!
for _ in $(seq 150); do
    grep -q '^ready ' "$work/devsim.log" && break
    kill -0 "$devsim" 2>/dev/null || break
    sleep 0.2
done
ready=$(grep -m1 '^ready ' "$work/devsim.log") || { echo "FAIL: the simulator did not start"; cat "$work/devsim.log"; exit 1; }
console_port=$(sed 's/.*console=\([0-9]*\).*/\1/' <<< "$ready")
ftp_port=$(sed 's/.*ftp=\([0-9]*\).*/\1/' <<< "$ready")
# No --package: the installed program (in /usr/bin, no package beside it) takes the current folder.
(cd "$work/package" && timeout 180 tessel-cli firmware --address 127.0.0.1 --login admin --password demo \
    --console-port "$console_port" --ftp-port "$ftp_port" --timeout 150) || {
    echo "FAIL: the firmware update failed"; cat "$work/devsim.log"; exit 1; }
grep -q 'installed firmware 01.08.00' "$work/devsim.log" || {
    echo "FAIL: the device did not install 01.08.00"; cat "$work/devsim.log"; exit 1; }
stop_devsim
echo "the device now runs 01.08.00"

echo "-- a program built against the installed libskiffs-dev"
timeout 300 cmake -S "$here/consumer" -B "$work/consumer" > "$work/consumer.log" 2>&1 || {
    cat "$work/consumer.log"; exit 1; }
timeout 300 cmake --build "$work/consumer" >> "$work/consumer.log" 2>&1 || { cat "$work/consumer.log"; exit 1; }
"$work/consumer/consumer"
timeout 300 c++ -std=c++17 "$here/consumer/main.cpp" $(pkg-config --cflags --libs SkiffS) -o "$work/consumer-pc"
"$work/consumer-pc"
[ "$(pkg-config --modversion SkiffS)" = "$version" ] || { echo "FAIL: pkg-config says SkiffS $(pkg-config --modversion SkiffS)"; exit 1; }
echo "installed programs OK"
