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

# The libraries the installer loads itself are set to prefer a native copy, as
# Windows would take any DLL it finds first: loaded through the search path,
# the planted copy beside the executable would win.
runtime_dlls="msftedit riched20 riched32 windowscodecs msxml3 msxml6 syssetup"
overrides="$(echo $runtime_dlls | tr ' ' ',')=n,b;${WINEDLLOVERRIDES:-mscoree,mshtml=}"
WINEDLLOVERRIDES="$overrides" WINEDEBUG=+loaddll bash "$here/scripts/wine-run.sh" "$exe" --gtest_filter='DllPlanting.*' 2>"$trace"
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
from_dist=$(grep -a 'loaddll' "$trace" | grep -ai 'holter-[0-9]*-[0-9]*-[0-9]*' | grep -aiv 'Install\.exe' || true)
# A planted file whose code ran (native), or any of the libraries the
# installer loads itself, taken from the distribution folder: a failure.
pattern="(: native)|\\\\($(echo $runtime_dlls | tr ' ' '|'))\.dll\""
bad=$(printf '%s\n' "$from_dist" | grep -aiE "$pattern" || true)
if [ -n "$bad" ]; then
  echo "libraries were loaded from the distribution folder:"
  echo "$bad"
  exit 1
fi
# Wine resolves the static imports of the system libraries themselves (before
# the program's first instruction) through the application folder too, but
# substitutes its own built-in copies: the planted code does not run. Windows
# takes those from its own folder (known DLLs).
subst=$(printf '%s\n' "$from_dist" | grep -ac ': builtin' || true)
echo "$(grep -ac 'loaddll' "$trace") library loads traced; none from the distribution folder" \
     "(Wine substituted its built-in copy for $subst planted names among the system libraries' own imports)"
