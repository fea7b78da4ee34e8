#!/usr/bin/env bash
# Builds everything and runs every test under Wine and Xvfb, in a throwaway
# Wine prefix, as an unprivileged user. Exits non-zero on any failure.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
root=${HOLTER_TEST_ROOT:-/var/tmp/holter-tests}

if [ "$(id -u)" = 0 ]; then
  bash "$here/scripts/setup.sh"
  # The tests run as the unprivileged user on a copy of the tree that it owns,
  # since the checkout may sit in a folder that only root can enter.
  mkdir -p "$root"
  rm -rf "$root/src"
  mkdir -p "$root/src"
  tar -C "$here" --exclude=./build --exclude=./.git -cf - . | tar -C "$root/src" -xf -
  chown -R holtertest: "$root"
  # Small file systems for the tests of a full disk, one per test program
  # (unit, e2e). Optional: where mounting is not permitted, those tests skip.
  disks="$root/small-disks"
  small=
  mkdir -p "$disks/unit" "$disks/e2e"
  if { mountpoint -q "$disks/unit" || mount -t tmpfs -o size=4m,mode=0777 tmpfs "$disks/unit"; } 2>/dev/null &&
     { mountpoint -q "$disks/e2e" || mount -t tmpfs -o size=4m,mode=0777 tmpfs "$disks/e2e"; } 2>/dev/null; then
    small="$disks"
  fi
  set +e
  runuser -u holtertest -- env HOME="$root/home" HOLTER_TEST_ROOT="$root" \
       ${DISPLAY:+DISPLAY="$DISPLAY"} ${small:+HOLTER_SMALL_DISKS="$small"} \
       bash "$root/src/scripts/test-as-user.sh" "$@"
  rc=$?
  umount "$disks/unit" "$disks/e2e" 2>/dev/null
  exit $rc
fi
exec env HOLTER_TEST_ROOT="$root" bash "$here/scripts/test-as-user.sh" "$@"
