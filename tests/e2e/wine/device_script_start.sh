# Sourced first by the scripts that run tessel-cli.exe against the simulated devices of a fixture
# (devsim_fleet.sh). Takes their arguments FIXTURE_FOLDER PASSWORD MANIFEST TESSEL_PACK -- COMMAND... into
# fixture, password, manifest and pack (COMMAND stays in "$@"), makes the scratch folder $work, which goes at the
# end with the process $running when a script sets it, and gives fail.
set -euo pipefail
[ $# -ge 6 ] && [ "$5" = "--" ] || { echo "usage: $0 FOLDER PASSWORD MANIFEST TESSEL_PACK -- COMMAND..." >&2; exit 2; }
fixture=$1 password=$2 manifest=$3 pack=$4
shift 5
work=$(mktemp -d)
running=""
cleanup() {
    [ -z "$running" ] || kill -9 "$running" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
