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

# The program is a 32-bit Windows program. Where it cannot run under Wine here (the kernel runs no
# 32-bit x86 code, seen on virtual machines with IA-32 emulation off, or the registry cannot serve
# the 32-bit packages) the same sources are built and tested as a 64-bit program under Wine's
# 64-bit loader, in a folder of their own. The release stays the 32-bit program.
# The kernel's own answer: a static 32-bit ELF program of 96 bytes, written here byte by byte, that
# only ends with status 42 (mov ebx,42; mov eax,1; int 0x80). No i386 package is needed to ask,
# so a machine without 32-bit code gets none installed. Where the kernel runs no 32-bit code
# the exec fails ("Exec format error") and the status is another.
kernel_runs_32bit() {
  local probe status=0
  probe=$(mktemp "${TMPDIR:-/tmp}/pelmora-ia32-probe.XXXXXX")
  # ELF header (52 bytes), one loadable segment (32 bytes) and the code (12 bytes), loaded at
  # 0x08048000 with the entry point at byte 84.
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'\
'\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
  chmod 700 "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" = 42 ]
}
ARCH=i686
BUILD=''
use_build_folder() { BUILD=$(realpath -m "${PELMORA_BUILD:-$1}"); }  # another folder lets builds run side by side
use_twin() {
  ARCH=x86_64
  export PATH="$ROOT/tools/wine64:$PATH"
  use_build_folder "$ROOT/build-x86_64"
  log "$1: building and testing the 64-bit twin in $BUILD"
  install_missing "${PACKAGES_64BIT[@]}"
}

# What the program and its tests need, by what for. The compilers are amd64 packages: the 32-bit
# program can always be built. Only running it under Wine needs the i386 architecture
# (wine32:i386); where the registry cannot serve that, the tests run on the 64-bit twin.
BUILD_PACKAGES=(cmake make g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
                python3)
TEST_PACKAGES=(wine xvfb xserver-xephyr xdotool x11-utils x11-xserver-utils imagemagick
               fonts-ipafont-gothic fonts-horai-umefont fonts-wine locales googletest clang
               libclang-rt-14-dev clang-format)
PACKAGES_32BIT=(wine32:i386)
PACKAGES_64BIT=(wine64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)

log() { printf '%s\n' "dev.sh: $*" >&2; }

is_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# apt's words on one line: its errors, without the mirror's address, and the first unmet
# dependency it names with how many more there are.
apt_reason() {
  local errors deps count
  errors=$(grep -E '^E: ' <<<"$1" | grep -v '^E: Some index files failed' \
           | sed -E 's/^E: //; s/ *\[IP: [^]]*\]//; s/\.$//' | paste -sd'|' | sed 's/|/; /g')
  deps=$(grep -E '^ [^ ]+ : (Pre)?Depends: ' <<<"$1" | sed -E 's/^ +//; s/  +/ /g' || true)
  count=$(grep -c . <<<"$deps" || true)
  printf '%s' "${errors:-apt-get failed}"
  [ "$count" = 0 ] || printf '; unmet: %s' "$(head -1 <<<"$deps")"
  [ "$count" -le 1 ] || printf ', and %d more' "$((count - 1))"
}

# One dev.sh at a time installs packages (two runs started together, CI beside a developer, would
# otherwise fail on apt's own locks); the lock is held until the packages are settled.
APT_LOCKED=
apt_lock() {
  [ -n "$APT_LOCKED" ] && return 0
  exec 9>>/run/lock/pelmora-dev-apt.lock
  if ! flock -n 9; then
    log "waiting for another dev.sh to finish installing packages"
    flock 9
  fi
  APT_LOCKED=1
}
apt_unlock() {
  [ -z "$APT_LOCKED" ] && return 0
  flock -u 9
  exec 9>&-
  APT_LOCKED=
}

# Brings the package lists up to date, once a run. An index that cannot be fetched (a mirror in
# the middle of a sync serves a list of the wrong size) is tried again twice, then reported, one
# line each, and the install goes on with the lists there are.
UPDATED=
apt_update() {
  [ -n "$UPDATED" ] && return 0
  UPDATED=1
  apt_lock
  local out try
  for try in 1 2 3; do
    out=$(apt-get -o DPkg::Lock::Timeout=600 update -qq 2>&1) && return 0
    grep -q '^E: Failed to fetch' <<<"$out" || break
    [ "$try" = 3 ] && break
    log "a package index could not be fetched; trying again in 10 s"
    sleep 10
  done
  local line
  while IFS= read -r line; do
    [[ $line =~ ^[EW]:\ Failed\ to\ fetch\ ([^ ]+)\ +(.*)$ ]] || continue
    log "package index not updated, going on with the lists there are: ${BASH_REMATCH[1]}: $(sed -E 's/ *\[IP: [^]]*\]//' <<<"${BASH_REMATCH[2]}")"
  done <<<"$out"
  grep -q '^[EW]: Failed to fetch' <<<"$out" || log "apt-get update failed, going on with the lists there are: $(apt_reason "$out")"
}

# Installs the packages; on failure says which of them cannot be installed and apt's reason, and
# returns 1. apt decides before it unpacks anything, so a refused install leaves nothing behind;
# should dpkg itself fail halfway, what it left is named.
APT_FAILURE=
apt_install() {
  local out
  apt_lock
  if out=$(DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "$@" 2>&1); then
    return 0
  fi
  APT_FAILURE=
  local p reason
  if [ $# -gt 1 ]; then
    for p in "$@"; do
      reason=$(apt-get install -s -q --no-install-recommends "$p" 2>&1) && continue
      APT_FAILURE+="${APT_FAILURE:+; }$p cannot be installed: $(apt_reason "$reason")"
    done
  fi
  [ -n "$APT_FAILURE" ] || APT_FAILURE="$* cannot be installed: $(apt_reason "$out")"
  local audit
  audit=$(dpkg --audit 2>/dev/null | grep -E '^ [^ ]+ ' | awk '{ print $1 }' | paste -sd' ')
  [ -z "$audit" ] || APT_FAILURE+="; left half-installed by dpkg (see 'dpkg --audit'): $audit"
  return 1
}

missing_of() {
  local p
  for p in "$@"; do is_installed "$p" || printf '%s\n' "$p"; done
}

# Installs what is missing of the packages, or ends the command naming what cannot be installed.
install_missing() {
  local missing
  mapfile -t missing < <(missing_of "$@")
  [ ${#missing[@]} -gt 0 ] || return 0
  apt_lock
  mapfile -t missing < <(missing_of "$@")  # another run may have installed them meanwhile
  [ ${#missing[@]} -gt 0 ] || return 0
  log "installing ${missing[*]}"
  apt_update
  apt_install "${missing[@]}" || { log "$APT_FAILURE"; exit 1; }
}

# wine32:i386 runs the 32-bit program. Returns 1, with apt's reason in APT_FAILURE, when the
# registry cannot serve it; the i386 architecture is then taken away again unless something else
# uses it, so that the machine is as it was. Such a registry stays so for a while (seen: more than
# an hour): for an hour after a failure, runs go straight to the twin instead of asking again.
NO_32BIT_MARK=/var/cache/pelmora-dev/no-32bit-packages
install_32bit_runtime() {
  is_installed wine32:i386 && return 0
  if [ -n "$(find "$NO_32BIT_MARK" -mmin -60 2>/dev/null)" ]; then
    APT_FAILURE="$(cat "$NO_32BIT_MARK"); found at $(date -r "$NO_32BIT_MARK" +%H:%M), asked again an hour later"
    return 1
  fi
  apt_lock
  is_installed wine32:i386 && return 0
  local added=
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    added=1
    UPDATED=
  fi
  log "installing ${PACKAGES_32BIT[*]}"
  apt_update
  if apt_install "${PACKAGES_32BIT[@]}"; then
    rm -f "$NO_32BIT_MARK"
    return 0
  fi
  if [ -n "$added" ] && [ -z "$(dpkg-query -W -f='${Architecture}\n' 2>/dev/null | grep -x i386)" ]; then
    dpkg --remove-architecture i386 2>/dev/null || true
  fi
  mkdir -p "$(dirname "$NO_32BIT_MARK")"
  printf '%s' "$APT_FAILURE" >"$NO_32BIT_MARK"
  return 1
}

ensure_packages() {
  install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
  if ! kernel_runs_32bit; then
    use_twin "this machine runs no 32-bit x86 code"
  elif ! install_32bit_runtime; then
    use_twin "the 32-bit packages cannot be installed ($APT_FAILURE)"
  else
    use_build_folder "$ROOT/build"
  fi
  # Wine takes the ANSI code page from the locale: ja_JP gives code page 932 (Shift-JIS).
  if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    log "generating the ja_JP.UTF-8 locale"
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  fi
  apt_unlock
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
  # As many tests at a time as there are processors; which may run beside which is the tests'
  # own schedule (tests/schedule).
  ctest --test-dir "$BUILD" --output-on-failure --timeout 600 -j"$(nproc)" "$@"
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

# The benchmark's processes each on a processor of their own kind: the X server on the first,
# Wine (the measured programs and the Wine server) on the last. Left to move freely, the Wine
# server and the program it serves land on different processors from one call to the next, and
# on a virtual machine each such wake-up across processors costs a varying, often large time:
# the same Save then measured from 102 to 235 ms within one run (bench/README.md). The processes
# that this shell starts from then on inherit the processor it is kept on.
BENCH_PROCESSORS=()
keep_on_processor() {
  if [ "${#BENCH_PROCESSORS[@]}" -eq 0 ]; then
    read -r -a BENCH_PROCESSORS < <(python3 -c 'import os; print(*sorted(os.sched_getaffinity(0)))')
  fi
  [ "${#BENCH_PROCESSORS[@]}" -gt 1 ] || return 0
  local which=${BENCH_PROCESSORS[-1]}
  [ "$1" = first ] && which=${BENCH_PROCESSORS[0]}
  taskset -cp "$which" $$ >/dev/null 2>&1 || log "cannot keep the benchmark on processor $which"
}

cmd_bench() {
  ensure_packages
  mkdir -p "$BUILD"
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$ARCH.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DPELMORA_BENCH=ON >/dev/null
  build
  keep_on_processor first
  start_virtual_display
  keep_on_processor last
  start_wine
  python3 "$ROOT/bench/report.py" "$BUILD" "$@"
}

# The release is always the 32-bit program, also where this machine cannot run it: built in a
# folder of its own, configured for the program alone.
cmd_dist() {
  install_missing "${BUILD_PACKAGES[@]}"
  apt_unlock
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
