#!/usr/bin/env bash
# Makes a Wine prefix for Pelmora's build and tests, once: a virtual desktop of 1280 x 1024
# (Wine then draws the frames and runs activation and stacking itself), Japanese locale.
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh PREFIX}
marker="$prefix/.pelmora-ready"
# Wine draws the caption buttons with Marlett; without it they show letters.
add_fonts() {
  local fonts="$prefix/drive_c/windows/Fonts"
  if [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
}
if [ -f "$marker" ]; then add_fonts; exit 0; fi

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
wineserver -w
add_fonts
touch "$marker"
