#!/usr/bin/env bash
# The part of the test run that runs as the unprivileged user (see test.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
root=${HOLTER_TEST_ROOT:?}
mkdir -p "$root/home" "$root/tmp"
export HOME=${HOME:-$root/home}
export TMPDIR="$root/tmp"
source "$here/scripts/wine-env.sh"

HOLTER_BUILD_DIR="$root/build" bash "$here/scripts/build.sh"

holter_start_display
template="$root/prefix-template"
cleanup() {
  WINEPREFIX="$root/prefix" wineserver -k >/dev/null 2>&1 || true
  holter_stop_display
}
trap cleanup EXIT

echo "test: preparing a throwaway Wine prefix"
holter_make_prefix "$template"
rm -rf "$root/prefix"
cp -a "$template" "$root/prefix"
export WINEPREFIX="$root/prefix"
export HOLTER_PREFIX_TEMPLATE="$template"
holter_warm_prefix

set +e
ctest --test-dir "$root/build" --output-on-failure --timeout 300 -j2 "$@"
rc=$?
set -e
exit $rc
