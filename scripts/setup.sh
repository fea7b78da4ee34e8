#!/usr/bin/env bash
# Installs what building and testing Install.exe needs on Debian 12 (run as root).
# Safe to run again: it skips what is already there.
set -euo pipefail

pkgs=(g++-mingw-w64-i686 wine wine32:i386 fonts-wine fonts-liberation fonts-dejavu-core
      xvfb xauth cmake ninja-build googletest imagemagick x11-apps locales util-linux procps)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
elif [ -n "${need_update:-}" ]; then
  apt-get update -qq
fi

# Wine needs a generated Russian locale to create files with Cyrillic names.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# Tests run Wine as an unprivileged user: as root Wine ignores read-only files.
if ! id holtertest >/dev/null 2>&1; then
  useradd --system --create-home --home-dir /var/lib/holtertest --shell /bin/bash holtertest
fi
