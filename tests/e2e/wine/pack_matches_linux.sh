#!/usr/bin/env bash
# tessel-pack.exe under Wine builds, verifies, shows and unpacks the demo package as the Linux tessel-pack does:
# the same bytes in the same files, the same SHA-256 digests (CNG on Windows, OpenSSL on Linux).
#   pack_matches_linux.sh MANIFEST LINUX_TESSEL_PACK -- COMMAND...   (COMMAND runs tessel-pack.exe)
set -euo pipefail
[ $# -ge 4 ] && [ "$3" = "--" ] || { echo "usage: $0 MANIFEST LINUX_TESSEL_PACK -- COMMAND..." >&2; exit 2; }
manifest=$1 linux_pack=$2
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
windows_pack() { timeout 120 "$@"; }

[ -x "$linux_pack" ] || fail "no Linux tessel-pack at $linux_pack: build the default preset first"
"$linux_pack" build "$manifest" "$work/linux" > /dev/null
windows_pack "$@" build "$manifest" "$work/windows" > "$work/build.txt" 2>&1 || { cat "$work/build.txt"; fail "build"; }
diff -r "$work/linux" "$work/windows" || fail "the packages differ"

windows_pack "$@" verify "$work/windows" > "$work/verify.txt" 2>&1 || { cat "$work/verify.txt"; fail "verify"; }

# The digests and sizes of every file, as each program shows them.
digests() { grep -o '"\(sha256\|size\)": *[^,}]*' "$1" | tr -d '\r'; }
"$linux_pack" show "$work/linux" --json > "$work/linux.json"
windows_pack "$@" show "$work/windows" --json > "$work/windows.json" || fail "show"
[ "$(digests "$work/linux.json" | grep -c sha256)" -gt 0 ] || fail "no digest shown"
diff <(digests "$work/linux.json") <(digests "$work/windows.json") || fail "the digests differ"

# Redirected to a file, the text is the same UTF-8 as on Linux (the script is UTF-8: its caption is those bytes).
windows_pack "$@" show "$work/windows" > "$work/windows.txt" || fail "show as text"
grep -qE '^caption: +Tessel デモ・アップデート' "$work/windows.txt" || { cat "$work/windows.txt"; fail "no UTF-8 caption"; }
iconv -f UTF-8 -t UTF-8 "$work/windows.txt" > /dev/null || fail "the redirected output is not UTF-8"

# Unpacked where the device keeps the files: on Windows the drive C: is the folder C.
"$linux_pack" unpack "$work/linux" "$work/linux-files" > /dev/null
windows_pack "$@" unpack "$work/windows" "$work/windows-files" > "$work/unpack.txt" 2>&1 || { cat "$work/unpack.txt"; fail "unpack"; }
for drive in B C; do
    diff -r "$work/linux-files/$drive:" "$work/windows-files/$drive" || fail "the unpacked files of $drive: differ"
done
echo "tessel-pack.exe matches the Linux tessel-pack"
