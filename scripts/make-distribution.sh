#!/usr/bin/env bash
# Lays out a sample distribution folder: everything the installer reads, with
# placeholder database and engine files, the stub driver installer, two program
# releases with their Install.cmd, the updater's ReleaseInfo and seven freely
# licensed TrueType fonts under the file names the installer expects.
#   make-distribution.sh DEST BUILD_DIR
set -euo pipefail
dest=$1
build=$2
rm -rf "$dest"
mkdir -p "$dest"/{Settings,DTAfb,Firebird/intl,Firebird/udf,UDF,FTDIDriverInstall,backup,Updater,fonts}

crlf() { sed 's/$/\r/'; }
placeholder() {  # placeholder FILE: a small file that names itself
  printf 'Placeholder for %s of the sample distribution.\r\n' "$(basename "$1")" > "$1"
}

cp "$build/Install.exe" "$dest/Install.exe"

crlf > "$dest/Settings/holter.ini" <<'INI'
; Settings of the "Arvela-Holter" suite
[options]
LanguageSetting=RUS
HardwareType=1
FilterType=0
doformshow=1
INI

# The clinical database: an empty database of the suite (placeholder content).
head -c 262144 /dev/zero | tr '\0' 'D' > "$dest/DTAfb/T12.FDB"

for f in aliases.conf firebird.conf fbclient.Dll ib_util.Dll icudt30.Dll icuin30.Dll icuuc30.Dll \
         msvcp80.Dll msvcr80.Dll msvcp71.Dll msvcr71.Dll firebird.msg gbak.exe gds32.dll; do
  placeholder "$dest/Firebird/$f"
done
for f in fbintl.conf fbintl.dll; do placeholder "$dest/Firebird/intl/$f"; done
for f in fbudf.dll ib_udf.dll fbudf.sql ib_udf.sql ib_udf2.sql; do placeholder "$dest/Firebird/udf/$f"; done
for f in Compare.Dll PosStr.Dll ProcessingECG.Dll SDecision.Dll; do placeholder "$dest/UDF/$f"; done

cp "$build/FTDIDriverInstall.exe" "$dest/FTDIDriverInstall/FTDIDriverInstall.exe"

# Two releases; the newer (by the day-month-year ending of the name) is R010115.
for r in R311214 R010115; do
  mkdir -p "$dest/backup/$r"
  placeholder "$dest/backup/$r/Shell.exe"
  crlf > "$dest/backup/$r/Install.cmd" <<'CMD'
@echo off
rem Installs this release's programs into the installation folder.
copy /y "%~dp0Shell.exe" "..\..\Shell.exe" >nul
echo %~dp0> "%~dp0installed.mark"
exit /b 0
CMD
done
mkdir -p "$dest/backup/WithOutAnswer"

crlf > "$dest/Updater/ReleaseInfo" <<'XML'
<?xml version="1.0" encoding="windows-1251"?>
<ROOT>
  <Version>1</Version>
  <Level>000000</Level>
</ROOT>
XML
crlf > "$dest/Updater/Updater.exe.cfg" <<'CFG'
<?xml version="1.0"?>
<configuration/>
CFG
placeholder "$dest/Updater/Updater.exe"

# Freely licensed fonts standing in for the suite's fonts.
lib=/usr/share/fonts/truetype/liberation
dv=/usr/share/fonts/truetype/dejavu
cp "$lib/LiberationSans-Regular.ttf"       "$dest/fonts/ARIAL.TTF"
cp "$lib/LiberationSansNarrow-Regular.ttf" "$dest/fonts/ARIALN.TTF"
cp "$lib/LiberationMono-Regular.ttf"       "$dest/fonts/COUR.TTF"
cp "$dv/DejaVuSansCondensed.ttf"           "$dest/fonts/MICROSS.TTF"
cp /usr/share/wine/fonts/tahoma.ttf        "$dest/fonts/TAHOMA.TTF"
cp "$lib/LiberationSerif-Regular.ttf"      "$dest/fonts/TIMES.TTF"
cp "$dv/DejaVuSans.ttf"                    "$dest/fonts/verdana.TTF"
