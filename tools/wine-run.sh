#!/usr/bin/env bash
# Runs a Windows program of the build under Wine: the build folder's own prefix, Japanese
# locale (ANSI code page 932), no Wine chatter. Used by ctest as the cross-compiling emulator.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: wine-run.sh program.exe [args...]" >&2; exit 2; }

if [ -z "${WINEPREFIX:-}" ]; then
  # The prefix lies in the build folder that holds the program.
  dir=$(cd "$(dirname "$1")" && pwd)
  while [ "$dir" != / ] && [ ! -d "$dir/wineprefix" ]; do dir=$(dirname "$dir"); done
  [ -d "$dir/wineprefix" ] || { echo "wine-run.sh: no wineprefix above $1 (run ./dev.sh test)" >&2; exit 2; }
  export WINEPREFIX="$dir/wineprefix"
fi
[ -n "${DISPLAY:-}" ] || { echo "wine-run.sh: DISPLAY is not set (run through ./dev.sh)" >&2; exit 2; }
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# Wine's helper processes (services, the desktop) inherit the program's output handles and
# outlive it; whoever reads a pipe from us would wait for them. Hand the output over through a
# file instead.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
wine "$@" >"$out" 2>&1 </dev/null || status=$?
cat "$out"
exit "$status"
