#!/usr/bin/env bash
# The main job: builds Install.exe, lays out a sample distribution with it in
# build/distribution and starts the wizard there under Wine. With a display the
# wizard opens for a person; without one it runs under Xvfb, is walked through
# its pages and a screenshot of each page is saved as build/page-*.png.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" = 0 ]; then bash "$here/scripts/setup.sh"; fi
source "$here/scripts/wine-env.sh"

bash "$here/scripts/build.sh"
dist="$here/build/distribution"
export WINEPREFIX=${HOLTER_DEMO_PREFIX:-$here/build/wineprefix}

interactive=
if holter_display_works; then interactive=1; fi
if [ -z "$interactive" ]; then holter_start_display; trap holter_stop_display EXIT; fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "demo: preparing the Wine prefix $WINEPREFIX"
  holter_make_prefix "$WINEPREFIX"
fi
holter_warm_prefix

if [ -n "$interactive" ]; then
  echo "demo: starting the wizard from $dist"
  cd "$dist" && wine ./Install.exe
  exit 0
fi

echo "demo: walking through the wizard under Xvfb ($DISPLAY)"
rm -f "$here"/build/page-*.png
wine "$here/build/tests/demo_walk.exe" "$(holter_unix_to_wine "$dist/Install.exe")" \
     "$(holter_unix_to_wine "$here/build")" </dev/null
wineserver -k >/dev/null 2>&1 || true
ls -1 "$here"/build/page-*.png
