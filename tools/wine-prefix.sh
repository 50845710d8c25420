#!/usr/bin/env bash
# Makes a Wine prefix for Pelmora's build and tests, once: a virtual desktop of 1280 x 1024
# (Wine then draws the frames and runs activation and stacking itself), Japanese locale, and the
# fonts that the program's windows ask for. A prefix made by an older version of this script gets
# what it lacks.
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh PREFIX}
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
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
wineserver -w
configure_fonts
touch "$marker"
