#!/usr/bin/env bash
# Runs one Windows test program under Wine. With HOLTER_FRESH_PREFIX=1 the
# program gets a throwaway copy of the template prefix, removed afterwards.
set -u
if [ "${HOLTER_FRESH_PREFIX:-0}" = 1 ] && [ -n "${HOLTER_PREFIX_TEMPLATE:-}" ]; then
  tmp=$(mktemp -d "${TMPDIR:-/tmp}/holter-pfx.XXXXXX")
  cp -a "$HOLTER_PREFIX_TEMPLATE" "$tmp/prefix"
  export WINEPREFIX="$tmp/prefix"
  wineserver -p >/dev/null 2>&1 </dev/null
  # Start the prefix's services with closed streams, so they do not keep the
  # test runner's pipe open.
  wine cmd /c exit </dev/null >/dev/null 2>&1
  wine "$@"
  rc=$?
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  rm -rf "$tmp"
  exit $rc
fi
exec wine "$@"
