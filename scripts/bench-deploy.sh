#!/usr/bin/env bash
# Benchmark (not a test): deploys a distribution whose database is large
# (1100 MiB by default, made on the fly) with the installer's own deployment
# code, and copies the same files with CopyFileW, alternating, in one run under
# Wine. Prints each time, the medians, their ratio and the peak working set of
# both; then the peak working set of the deployment with a small database, to
# show that memory does not grow with the file.
#   HOLTER_BENCH_DB_MIB   size of the large database in MiB (1100)
#   HOLTER_BENCH_RUNS     runs of each kind (5), after one warm-up run of each
#   HOLTER_BENCH_DIR      work folder (/var/tmp/holter-bench), removed at the end
#                         unless HOLTER_BENCH_KEEP=1
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${HOLTER_BUILD_DIR:-$here/build}
work=${HOLTER_BENCH_DIR:-/var/tmp/holter-bench}
mib=${HOLTER_BENCH_DB_MIB:-1100}
runs=${HOLTER_BENCH_RUNS:-5}
source "$here/scripts/wine-env.sh"

echo "bench: building bench_deploy"
HOLTER_BUILD_DIR="$build" bash "$here/scripts/build.sh" --target bench_deploy >/dev/null
exe="$build/tests/bench_deploy.exe"

# dist DIR DB_MIB: a distribution with the deployment's files, the database of DB_MIB MiB.
make_dist() {
  local d=$1 size=$2
  rm -rf "$d"
  mkdir -p "$d"/{DTAfb,Firebird/intl,Firebird/udf,UDF}
  head -c "${size}M" /dev/urandom > "$d/DTAfb/T12.FDB"
  # Engine files of about their real sizes.
  local f
  for f in aliases.conf firebird.conf firebird.msg; do head -c 20K /dev/urandom > "$d/Firebird/$f"; done
  for f in fbclient.Dll ib_util.Dll icuin30.Dll icuuc30.Dll msvcp80.Dll msvcr80.Dll msvcp71.Dll msvcr71.Dll gbak.exe gds32.dll; do
    head -c 1M /dev/urandom > "$d/Firebird/$f"
  done
  head -c 8M /dev/urandom > "$d/Firebird/icudt30.Dll"
  for f in fbintl.conf fbintl.dll; do head -c 600K /dev/urandom > "$d/Firebird/intl/$f"; done
  for f in fbudf.dll ib_udf.dll fbudf.sql ib_udf.sql ib_udf2.sql; do head -c 40K /dev/urandom > "$d/Firebird/udf/$f"; done
  for f in Compare.Dll PosStr.Dll ProcessingECG.Dll SDecision.Dll; do head -c 300K /dev/urandom > "$d/UDF/$f"; done
}

mkdir -p "$work"
export WINEPREFIX="$work/prefix"
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  echo "bench: making a Wine prefix"
  holter_make_prefix "$WINEPREFIX"
fi
holter_warm_prefix
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ "${HOLTER_BENCH_KEEP:-0}" = 1 ] || rm -rf "$work"
}
trap cleanup EXIT

echo "bench: making a distribution with a ${mib} MiB database"
make_dist "$work/dist" "$mib"
S="$(holter_unix_to_wine "$work/dist")\\"

# run MODE DIST_WINE: one deployment into a fresh target; prints bench_deploy's line.
run() {
  local mode=$1 src=$2
  rm -rf "$work/target"
  sync
  wine "$exe" "$mode" "$src" "$(holter_unix_to_wine "$work")\\target\\" </dev/null 2>/dev/null | tr -d '\r'
}
field() { sed -n "s/.*$1=\([^ ]*\).*/\1/p"; }
median() { LC_ALL=C sort -n | LC_ALL=C awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }

echo "bench: one warm-up run of each kind"
run deploy "$S" >/dev/null
run copyfile "$S" >/dev/null
deploy_times=() copy_times=() deploy_peak=0 copy_peak=0
for i in $(seq 1 "$runs"); do
  # Alternate the order so that neither kind always meets a warmer cache.
  if [ $((i % 2)) = 1 ]; then order="deploy copyfile"; else order="copyfile deploy"; fi
  for mode in $order; do
    line=$(run "$mode" "$S")
    echo "  run $i: $line"
    t=$(echo "$line" | field seconds)
    p=$(echo "$line" | field peak_working_set)
    [ "$(echo "$line" | field failures)" = 0 ] || { echo "bench: $mode failed" >&2; exit 1; }
    if [ "$mode" = deploy ]; then deploy_times+=("$t"); [ "$p" -gt "$deploy_peak" ] && deploy_peak=$p
    else copy_times+=("$t"); [ "$p" -gt "$copy_peak" ] && copy_peak=$p; fi
  done
done
d=$(printf '%s\n' "${deploy_times[@]}" | median)
c=$(printf '%s\n' "${copy_times[@]}" | median)

echo "bench: making a distribution with a 16 MiB database"
make_dist "$work/dist-small" 16
small_line=$(run deploy "$(holter_unix_to_wine "$work/dist-small")\\")
small_peak=$(echo "$small_line" | field peak_working_set)

total=$(du -sm "$work/dist" | cut -f1)
LC_ALL=C awk -v d="$d" -v c="$c" -v dp="$deploy_peak" -v cp="$copy_peak" -v sp="$small_peak" \
    -v total="$total" -v mib="$mib" -v runs="$runs" 'BEGIN {
  printf "\nDeployment of %d MiB (database %d MiB), median of %d runs each:\n", total, mib, runs
  printf "  installer deployment  %8.3f s   peak working set %6.1f MiB\n", d, dp / 1048576
  printf "  CopyFileW             %8.3f s   peak working set %6.1f MiB\n", c, cp / 1048576
  printf "  deployment / CopyFileW = %.3f\n", d / c
  printf "  peak working set of the deployment with a 16 MiB database: %.1f MiB\n", sp / 1048576
}'
