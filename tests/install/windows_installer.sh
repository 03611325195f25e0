#!/usr/bin/env bash
# The Windows installer and ZIP, made from the Windows build, as an operator meets them: the installer runs
# silently under Wine, puts the programs in Program Files with a Start menu entry and an uninstaller, the
# installed programs answer --version with their file properties' version, and the uninstaller removes them.
# Runs in the Wine prefix of scripts/wine-env.
#   windows_installer.sh BUILD VERSION
set -euo pipefail
build=$1
version=$2
: "${WINEPREFIX:?run through scripts/wine-env}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }

echo "-- cpack"
(cd "$build" && timeout 300 cpack -G "NSIS;ZIP" -B "$work/packages" > "$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack could not make the installer"; }
installer="$work/packages/Tessel-$version-win64.exe"
zip="$work/packages/Tessel-$version-win64.zip"
[ -f "$installer" ] || fail "no installer: $(ls "$work/packages")"
[ -f "$zip" ] || fail "no ZIP: $(ls "$work/packages")"

programs=(tessel.exe tessel-cli.exe tessel-pack.exe SkiffS.dll)
echo "-- ZIP"
mkdir "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$zip")
for program in "${programs[@]}"; do
    [ -f "$work/zip/Tessel-$version-win64/bin/$program" ] || fail "the ZIP lacks bin/$program"
done

echo "-- silent install"
target='C:\Program Files\Tessel'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessel'
folder="$WINEPREFIX/drive_c/Program Files/Tessel"
rm -rf "$folder"
timeout 120 wine "$installer" /S || fail "the installer ended with $?"
for program in "${programs[@]}" Uninstall.exe; do
    [ -f "$folder/bin/$program" ] || [ -f "$folder/$program" ] || fail "not installed: $program"
done
find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'Tessel.lnk' | grep -q . || fail "no Start menu entry"
timeout 60 wine reg query "$uninstall_key" > /dev/null || fail "no uninstall entry"

echo "-- installed programs"
for program in tessel-cli tessel-pack; do
    first=$(timeout 60 wine "$target\\bin\\$program.exe" --version | tr -d '\r' | head -n 1)
    [ "$first" = "$program $version" ] || fail "$program --version says \"$first\""
done
# The file properties carry the version and the publisher (the strings of the version resource, UTF-16).
for program in "${programs[@]}"; do
    properties=$(strings -el "$folder/bin/$program")
    [[ $properties == *"$version"* ]] || fail "$program has no version in its file properties"
    [[ $properties == *"Tessel project"* ]] || fail "$program has no publisher in its file properties"
done

echo "-- silent uninstall"
timeout 120 wine "$target\\Uninstall.exe" /S || fail "the uninstaller ended with $?"
# The uninstaller copies itself away and removes the folder from there: give it a bounded while.
for _ in $(seq 100); do [ -e "$folder/bin/tessel.exe" ] || break; sleep 0.1; done
[ ! -e "$folder/bin/tessel.exe" ] || fail "the uninstaller left the programs"
for _ in $(seq 50); do
    timeout 60 wine reg query "$uninstall_key" > /dev/null 2>&1 || break
    sleep 0.2
done
! timeout 60 wine reg query "$uninstall_key" > /dev/null 2>&1 || fail "the uninstaller left its uninstall entry"
echo "ok"
