#!/usr/bin/env bash
# Start-up benchmark (not a test): the size of Install.exe and the time from
# process start until its main window is visible, next to the same time for a
# minimal Win32 window program built alongside; both measured in one run,
# alternating, several times each, and the median printed.
#   bash scripts/bench-startup.sh [runs]      (default 7 runs each)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
build=${HOLTER_BUILD_DIR:-$here/build}
source "$here/scripts/wine-env.sh"

HOLTER_BUILD_DIR="$build" bash "$here/scripts/build.sh" >/dev/null
export WINEPREFIX=${HOLTER_BENCH_PREFIX:-$build/bench-prefix}
holter_start_display
trap holter_stop_display EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then holter_make_prefix "$WINEPREFIX"; fi
holter_warm_prefix

timer=$(holter_unix_to_wine "$build/tests/startup_timer.exe")
install=$(holter_unix_to_wine "$build/distribution/Install.exe")
minimal=$(holter_unix_to_wine "$build/tests/minimal_window.exe")

# One warm-up of each, not counted (the first start fills the file cache).
wine "$timer" "$install" TFMain >/dev/null 2>&1 </dev/null || true
wine "$timer" "$minimal" MinimalWindow >/dev/null 2>&1 </dev/null || true

a=(); b=()
for ((i = 0; i < runs; i++)); do
  a+=("$(wine "$timer" "$install" TFMain 2>/dev/null </dev/null | tr -d '\r')")
  b+=("$(wine "$timer" "$minimal" MinimalWindow 2>/dev/null </dev/null | tr -d '\r')")
done
median() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {if (NR % 2) print v[(NR+1)/2]; else printf "%.1f\n", (v[NR/2]+v[NR/2+1])/2}'; }

size=$(stat -c %s "$build/Install.exe")
msize=$(stat -c %s "$build/tests/minimal_window.exe")
printf "Install.exe size:            %d bytes (%d KiB)\n" "$size" "$((size / 1024))"
printf 'minimal window program size: %d bytes\n' "$msize"
printf 'start until the main window is visible, median of %d runs (Wine %s):\n' "$runs" "$(wine --version)"
printf '  Install.exe:    %8s ms   (runs: %s)\n' "$(median "${a[@]}")" "${a[*]}"
printf '  minimal window: %8s ms   (runs: %s)\n' "$(median "${b[@]}")" "${b[*]}"
wineserver -k >/dev/null 2>&1 || true
