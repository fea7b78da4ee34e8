#!/usr/bin/env bash
# Runs the DLL-planting walk of e2e_tests.exe (DllPlanting.*) with Wine's
# DLL-load trace on, and fails when any library was loaded from the temporary
# distribution folder that holds the planted DLLs.
#   dll-planting-trace.sh <e2e_tests.exe>
set -u
exe=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
trace=$(mktemp "${TMPDIR:-/tmp}/holter-loaddll.XXXXXX")
trap 'rm -f "$trace"' EXIT

WINEDEBUG=+loaddll bash "$here/scripts/wine-run.sh" "$exe" --gtest_filter='DllPlanting.*' 2>"$trace"
rc=$?
if [ $rc -ne 0 ]; then
  echo "the planting walk failed (exit $rc)"
  grep -av 'trace:loaddll' "$trace" | tail -20
  exit 1
fi
# Temporary folders of the tests are named holter-<process>-<ticks>-<n>.
if ! grep -a 'loaddll' "$trace" | grep -aiq 'holter-[0-9]*-[0-9]*-[0-9]*.*Install\.exe'; then
  echo "the trace does not show the installer being loaded: the check would prove nothing"
  grep -a 'loaddll' "$trace" | head -5
  exit 1
fi
planted=$(grep -a 'loaddll' "$trace" | grep -ai 'holter-[0-9]*-[0-9]*-[0-9]*' | grep -aiv 'Install\.exe' || true)
if [ -n "$planted" ]; then
  echo "libraries were loaded from the distribution folder:"
  echo "$planted"
  exit 1
fi
echo "$(grep -ac 'loaddll' "$trace") library loads traced, none from the distribution folder"
