#!/usr/bin/env bash
# Makes a Wine prefix for Pelmora's build and tests, once: a virtual desktop of 1280 x 1024
# (Wine then draws the frames and runs activation and stacking itself), Japanese locale, and the
# fonts that the program's windows ask for. A prefix made by an older version of this script gets
# what it lacks.
#   wine-prefix.sh PREFIX [two-monitors]
# With two-monitors the prefix has no virtual desktop, which always shows one monitor: Wine's
# windows are X windows of their own, and the monitors are the heads of an X server with
# Xinerama (tests/e2e/e2e_monitors.py starts one). Wine then draws every frame and sets the focus
# itself (Managed=N: there is no window manager), takes the monitors from Xinerama rather than
# XRandR, and makes the second head the primary monitor, so that the first one lies left of it,
# at negative coordinates.
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh PREFIX [two-monitors]}
layout=${2:-desktop}
case "$layout" in
  desktop | two-monitors) ;;
  *) echo "wine-prefix.sh: unknown layout $layout" >&2; exit 2 ;;
esac
marker="$prefix/.pelmora-ready"
fonts_marker="$prefix/.pelmora-fonts-2"

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

configure_fonts() {
  [ -f "$fonts_marker" ] && return 0
  # Wine draws the caption buttons with Marlett; without it they show letters.
  local fonts="$prefix/drive_c/windows/Fonts"
  if [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
  # "ＭＳ Ｐゴシック" is a proportional Gothic with a 12-pixel line at character height 12. Ume P
  # Gothic has the same metrics ("設定名" 36 x 12, "データ" 33 x 12), so the windows look here as
  # designed; IPA's proportional Gothic has a 13-pixel line. Left to itself Wine takes a
  # fixed-pitch Gothic, whose underscore vanishes at 12 pixels ("pos_x").
  local name
  for name in 'ＭＳ Ｐゴシック' 'MS PGothic'; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /d 'Ume P Gothic' /f >/dev/null 2>&1
  done
  wineserver -w
  touch "$fonts_marker"
}

if [ -f "$marker" ]; then configure_fonts; exit 0; fi

mkdir -p "$prefix"
wine wineboot -i >/dev/null 2>&1
if [ "$layout" = desktop ]; then
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
else
  for value in Managed=N UseXRandR=N PrimaryMonitor=1; do
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v "${value%=*}" /d "${value#*=}" /f >/dev/null 2>&1
  done
fi
wineserver -w
configure_fonts
touch "$marker"
