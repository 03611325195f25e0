#!/usr/bin/env bash
# A program prints the project's version, and its manual page renders without a warning, names the
# program and describes every option its --help lists.
#   version_and_manual.sh PROGRAM PAGE.1.gz VERSION
set -euo pipefail
program=$1
page=$2
version=$3
name=$(basename "$program")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

versions=$(timeout 20 "$program" --version)
first=${versions%%$'\n'*}
[ "$first" = "$name $version" ] || fail "--version says \"$first\", not \"$name $version\""
if [ "$name" = tessel-cli ]; then
    grep -qx "SkiffS $version" <<< "$versions" || fail "--version does not name SkiffS $version: $versions"
    curl_version=$(pkg-config --modversion libcurl)
    grep -qx "libcurl $curl_version" <<< "$versions" || fail "--version does not name libcurl $curl_version"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
MANWIDTH=100 LC_ALL=C.UTF-8 timeout 20 man --nh --nj --warnings -l "$page" > "$work/page" 2> "$work/warnings"
[ -s "$work/warnings" ] && fail "man reports: $(cat "$work/warnings")"
grep -q "^NAME" "$work/page" || fail "the page has no NAME section"
grep -Eq "^ +$name - " "$work/page" || fail "the NAME section does not name $name"

timeout 20 "$program" --help > "$work/help"
options=$(grep -oE -- '--[a-z][a-z0-9-]*' "$work/help" | sort -u)
[ -n "$options" ] || fail "--help lists no option"
for option in $options; do
    # man renders the hyphens of an option as they were written, \- as a plain hyphen.
    grep -qF -- "$option" "$work/page" || fail "the page does not describe $option"
done

[ "$failures" -eq 0 ] || exit 1
echo "$name: version $version, manual page with $(wc -w <<< "$options") options"
