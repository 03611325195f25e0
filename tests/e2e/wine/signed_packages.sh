#!/usr/bin/env bash
# Signed packages across the two systems: a key that tessel-pack.exe makes on CNG is read by openssl, a package
# it signs verifies with the Linux tessel-pack, and one the Linux tessel-pack signs verifies with tessel-pack.exe;
# each refuses the other key and a changed file. tessel-cli.exe trusting a key updates a simulated device (of
# devsim_fleet.sh) from a package signed by it, and refuses an unsigned one before it connects.
#   signed_packages.sh FIXTURE_FOLDER PASSWORD MANIFEST LINUX_TESSEL_PACK -- EMULATOR TESSEL_PACK_EXE TESSEL_CLI_EXE
set -euo pipefail
[ $# -eq 8 ] && [ "$5" = "--" ] || {
    echo "usage: $0 FOLDER PASSWORD MANIFEST LINUX_TESSEL_PACK -- EMULATOR TESSEL_PACK_EXE TESSEL_CLI_EXE" >&2
    exit 2
}
fixture=$1 password=$2 manifest=$3 linux_pack=$4 emulator=$6 windows_pack_exe=$7 windows_cli_exe=$8
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
# Every run is bounded, whatever happens to the program.
windows_pack() { timeout 120 "$emulator" "$windows_pack_exe" "$@"; }
windows_cli() { timeout 300 "$emulator" "$windows_cli_exe" "$@"; }
# Runs a command that must end with status $1, its output in $work/out.txt.
expect_status() {
    local expected=$1 status=0
    shift
    "$@" > "$work/out.txt" 2>&1 || status=$?
    [ "$status" -eq "$expected" ] || { cat "$work/out.txt"; fail "$* ended with $status, not $expected"; }
}
expect_output() { grep -qF -- "$1" "$work/out.txt" || { cat "$work/out.txt"; fail "no \"$1\" in the output"; }; }

[ -x "$linux_pack" ] || fail "no Linux tessel-pack at $linux_pack: build the default preset first"
[ -s "$fixture/ports" ] || fail "no simulated device in $fixture (the fixture did not start it)"

echo "== keys made on each system"
expect_status 0 windows_pack keygen "$work/cng"
"$linux_pack" keygen "$work/openssl" > /dev/null
mkdir "$work/trust-cng" "$work/trust-openssl"
cp "$work/cng.pub" "$work/trust-cng/"
cp "$work/openssl.pub" "$work/trust-openssl/"
# openssl reads the private key CNG made and derives the same public key from it.
openssl pkey -in "$work/cng.key" -pubout | cmp - "$work/cng.pub" || fail "openssl derives another public key"
fingerprint=$(openssl pkey -pubin -in "$work/cng.pub" -outform DER | sha256sum | cut -d' ' -f1)

echo "== signed by CNG, verified by OpenSSL"
expect_status 0 windows_pack build "$manifest" "$work/by-cng" --sign "$work/cng.key"
expect_output "SHA256:$fingerprint"
expect_status 0 "$linux_pack" verify "$work/by-cng" --trusted-keys "$work/trust-cng"
expect_output "signature: verified, signed by cng (SHA256:$fingerprint"
expect_status 1 "$linux_pack" verify "$work/by-cng" --trusted-keys "$work/trust-openssl"
expect_output "signed by a key that is not trusted"

echo "== signed by OpenSSL, verified by CNG"
"$linux_pack" build "$manifest" "$work/by-openssl" --sign "$work/openssl.key" > /dev/null
expect_status 0 windows_pack verify "$work/by-openssl" --trusted-keys "$work/trust-openssl"
expect_output "signature: verified, signed by openssl"
expect_status 1 windows_pack verify "$work/by-openssl" --trusted-keys "$work/trust-cng"
expect_output "signed by a key that is not trusted"
cp -r "$work/by-openssl" "$work/changed"
printf 'x' >> "$work/changed/spacer.gif"
expect_status 1 windows_pack verify "$work/changed" --trusted-keys "$work/trust-openssl"
expect_output "spacer.gif"

echo "== tessel-cli.exe trusting the OpenSSL key"
read -r n console ftp < "$fixture/ports"
device=(--address 127.0.0.1 --login admin --password "$password" --console-port "$console" --ftp-port "$ftp")
"$linux_pack" build "$manifest" "$work/unsigned" > /dev/null
expect_status 1 windows_cli firmware "${device[@]}" --package "$work/unsigned" --trusted-keys "$work/trust-openssl"
expect_output "the package's signature is refused; nothing was sent"
expect_output "the package is not signed"
! grep -q 'connected from' "$fixture/dev$n.log" || fail "the unsigned package reached the device"
expect_status 0 windows_cli firmware "${device[@]}" --package "$work/by-openssl" --trusted-keys "$work/trust-openssl" \
    --json
grep -q '"name": *"openssl"' "$work/out.txt" || { cat "$work/out.txt"; fail "the record does not name the signer"; }
grep -q 'installed firmware 01.08.00' "$fixture/dev$n.log" || fail "the device did not install the firmware"
echo "signatures made on either system verify on the other"
