# Shell functions for running Install.exe and its tests under Wine with Xvfb.
# Sourced by run-demo.sh, test-as-user.sh and the benchmarks.

# A quiet, Russian-locale Wine, as on the clinics' machines.
export LC_ALL=ru_RU.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# holter_display_works: whether $DISPLAY names a running local X server.
holter_display_works() {
  [ -n "${DISPLAY:-}" ] || return 1
  local n=${DISPLAY#*:}
  n=${n%%.*}
  [ -S "/tmp/.X11-unix/X${n}" ]
}

# holter_start_display: uses $DISPLAY when it works, else starts Xvfb on a free number.
holter_start_display() {
  if holter_display_works; then
    HOLTER_OWN_XVFB=
    return 0
  fi
  # -displayfd lets the server pick a free display number itself, so that
  # several runs on one machine never collide.
  local fifo
  fifo=$(mktemp -u "${TMPDIR:-/tmp}/holter-xvfb.XXXXXX")
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 ${HOLTER_SCREEN:-1024x768x24} -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  HOLTER_OWN_XVFB=$!
  local n
  read -r -t 20 n <"$fifo" || true
  rm -f "$fifo"
  [ -n "$n" ] || { echo "cannot start Xvfb" >&2; return 1; }
  export DISPLAY=":${n}"
}

holter_stop_display() {
  if [ -n "${HOLTER_OWN_XVFB:-}" ]; then kill "$HOLTER_OWN_XVFB" 2>/dev/null || true; wait "$HOLTER_OWN_XVFB" 2>/dev/null || true; fi
}

# holter_make_prefix DIR: a new Wine prefix ready for the installer (fonts, real
# Desktop folder, metric-compatible font names, a virtual desktop, 96 dpi).
holter_make_prefix() {
  local pfx=$1
  rm -rf "$pfx"
  mkdir -p "$pfx"
  WINEPREFIX="$pfx" wineboot -i </dev/null >/dev/null 2>&1
  WINEPREFIX="$pfx" wineserver -w
  cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$pfx/drive_c/windows/Fonts/" 2>/dev/null || true
  local u
  for u in "$pfx"/drive_c/users/*; do
    [ "$(basename "$u")" = Public ] && continue
    for f in Desktop Documents Downloads Music Pictures Videos Templates; do
      if [ -L "$u/$f" ]; then rm -f "$u/$f"; mkdir -p "$u/$f"; fi
    done
  done
  local reg
  reg=$(mktemp --suffix=.reg)
  cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"mscoree"=""
"mshtml"=""
REG
  WINEPREFIX="$pfx" wine regedit /S "$(winepath -w "$reg" 2>/dev/null || echo "Z:${reg//\//\\}")" </dev/null >/dev/null 2>&1
  WINEPREFIX="$pfx" wineserver -w
  rm -f "$reg"
}

# holter_warm_prefix: start the wineserver and its services with every stream
# closed, so that later Wine processes do not hand them their own pipes.
holter_warm_prefix() {
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# holter_unix_to_wine PATH: the Windows form of a Unix path (drive Z:).
holter_unix_to_wine() {
  local p
  p=$(readlink -f "$1")
  printf 'Z:%s' "${p//\//\\}"
}
