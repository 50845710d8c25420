#!/usr/bin/env bash
# Pelmora's one entry point for building, running and testing on Debian 12 (as root).
#   ./dev.sh run    build and start the program (under Wine; on a virtual display when there is
#                   no display, with a screenshot in build/screenshot.png)
#   ./dev.sh test   install what is missing, build, run every test; ends with ctest's summary
#   ./dev.sh bench  build and time Pelmora against the floor; prints the table (not a test)
#   ./dev.sh dist   build the 32-bit program and write dist/pelmora-<version>-win32.zip and
#                   dist/SHA256SUMS (the same bytes from the same commit on any machine)
#   ./dev.sh fuzz [seconds]   run every fuzz target of the native sanitizer build longer
#                   (default 300 s each)
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"
ROOT=$PWD

# The program is a 32-bit Windows program. A machine whose kernel runs no 32-bit x86 code (seen:
# virtual machines with IA-32 emulation off) cannot run it under Wine at all: there the same
# sources are built and tested as a 64-bit program under Wine's 64-bit loader, in a folder of
# their own.
can_run_32bit() { /lib/i386-linux-gnu/ld-linux.so.2 --version >/dev/null 2>&1; }
ARCH=i686
DEFAULT_BUILD=$ROOT/build
BUILD=''
choose_arch() {
  if ! can_run_32bit; then
    ARCH=x86_64
    DEFAULT_BUILD=$ROOT/build-x86_64
    export PATH="$ROOT/tools/wine64:$PATH"
  fi
  BUILD=$(realpath -m "${PELMORA_BUILD:-$DEFAULT_BUILD}")  # another folder lets builds run side by side
}

PACKAGES=(cmake make g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
          wine wine32:i386 xvfb xdotool x11-utils x11-xserver-utils imagemagick fonts-ipafont-gothic
          fonts-horai-umefont fonts-wine
          locales googletest clang libclang-rt-14-dev clang-format python3)
PACKAGES_64BIT=(wine64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)

log() { printf '%s\n' "dev.sh: $*" >&2; }

install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

ensure_packages() {
  install_missing "${PACKAGES[@]}"
  choose_arch
  if [ "$ARCH" = x86_64 ]; then
    log "this machine runs no 32-bit x86 code: building and testing the 64-bit twin in $BUILD"
    install_missing "${PACKAGES_64BIT[@]}"
  fi
  # Wine takes the ANSI code page from the locale: ja_JP gives code page 932 (Shift-JIS).
  if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    log "generating the ja_JP.UTF-8 locale"
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  fi
}

build() {
  if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$ARCH.cmake" \
          -DCMAKE_BUILD_TYPE=Release >/dev/null
  fi
  if ! cmake --build "$BUILD" -j"$(nproc)" >"$BUILD/build.log" 2>&1; then
    cat "$BUILD/build.log" >&2; log "build failed"; exit 1
  fi
  grep -E 'warning:' "$BUILD/build.log" >&2 || true
}

XVFB_PID=
start_virtual_display() {
  # Xvfb picks a free display itself (it takes the display's lock file atomically) and writes its
  # number once it accepts connections: two runs started at the same moment (CI beside a
  # developer's run) can neither share a display nor test on each other's.
  local numberFile
  numberFile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
  XVFB_PID=$!
  local number
  for _ in $(seq 100); do
    if IFS= read -r number <"$numberFile" && [[ $number =~ ^[0-9]+$ ]]; then
      rm -f "$numberFile"
      export DISPLAY=":$number"
      xdpyinfo >/dev/null 2>&1 && return 0
      break
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$numberFile"
  log "Xvfb did not start"; exit 1
}

start_wine() {
  export WINEPREFIX=$BUILD/wineprefix
  "$ROOT/tools/wine-prefix.sh" "$WINEPREFIX"
  # The server and Wine's services stay up between test programs: one start-up for the run.
  # A server left running for this prefix (an interrupted run, a session by hand) would keep its
  # desktop on another display: it goes first.
  if ! WINEDEBUG=-all wineserver -p >/dev/null 2>&1; then
    log "stopping the Wine server already running for $WINEPREFIX"
    WINEDEBUG=-all wineserver -k >/dev/null 2>&1 || true
    WINEDEBUG=-all wineserver -w >/dev/null 2>&1 || true
    WINEDEBUG=-all wineserver -p >/dev/null 2>&1 || { log "cannot start the Wine server"; exit 1; }
  fi
  WINEDEBUG=-all wine wineboot >/dev/null 2>&1 </dev/null || true
}

cleanup() {
  [ -n "${WINEPREFIX:-}" ] && WINEDEBUG=-all wineserver -k 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

cmd_test() {
  ensure_packages
  build
  start_virtual_display
  start_wine
  ctest --test-dir "$BUILD" --output-on-failure --timeout 600 "$@"
}

cmd_run() {
  ensure_packages
  build
  [ -f "$BUILD/pelmora.exe" ] || { log "pelmora.exe is not built yet: the windows arrive with the next step"; exit 1; }
  local shot=
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    start_virtual_display
    shot=$BUILD/screenshot.png
  fi
  start_wine
  "$ROOT/tools/wine-run.sh" "$BUILD/pelmora.exe" &
  local pid=$!
  if [ -n "$shot" ]; then
    sleep 5
    import -window root "$shot"
    log "no display: Pelmora runs on virtual display $DISPLAY; screenshot in $shot"
    log "press Ctrl+C to stop"
  fi
  wait "$pid" || true
}

cmd_fuzz() {
  ensure_packages
  build
  "$ROOT/tests/fuzz/run-fuzz.sh" "$BUILD/fuzz" "${1:-300}"
}

cmd_bench() {
  ensure_packages
  mkdir -p "$BUILD"
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$ARCH.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DPELMORA_BENCH=ON >/dev/null
  build
  start_virtual_display
  start_wine
  python3 "$ROOT/bench/report.py" "$BUILD" "$@"
}

# The release is always the 32-bit program, also where this machine cannot run it: built in a
# folder of its own, configured for the program alone.
cmd_dist() {
  install_missing "${PACKAGES[@]}"
  local build=$ROOT/build-dist
  mkdir -p "$build"
  cmake -S "$ROOT" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DPELMORA_TESTS=OFF >/dev/null
  if ! cmake --build "$build" -j"$(nproc)" --target dist >"$build/build.log" 2>&1; then
    cat "$build/build.log" >&2; log "build failed"; exit 1
  fi
  grep -E 'warning:' "$build/build.log" >&2 || true
  local name
  name=$(awk '{ print $2 }' "$build/dist/SHA256SUMS")
  rm -rf "$ROOT/dist"
  mkdir "$ROOT/dist"
  cp "$build/dist/$name" "$build/dist/SHA256SUMS" "$ROOT/dist/"
  log "wrote dist/$name and dist/SHA256SUMS (check: cd dist && sha256sum -c SHA256SUMS)"
  cat "$ROOT/dist/SHA256SUMS"
}

case "${1:-}" in
  run) shift; cmd_run "$@" ;;
  test) shift; cmd_test "$@" ;;
  fuzz) shift; cmd_fuzz "$@" ;;
  bench) shift; cmd_bench "$@" ;;
  dist) shift; cmd_dist ;;
  *) echo "usage: ./dev.sh run | test | fuzz [seconds] | bench [--quick] | dist" >&2; exit 2 ;;
esac
