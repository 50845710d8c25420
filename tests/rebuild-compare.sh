#!/usr/bin/env bash
# Builds pelmora.exe a second time, from a copy of the sources in another folder into another
# build folder (both paths of another length), and compares it byte for byte with the one of
# the build folder: the same sources must give the same program wherever and whenever they are
# built.
#   rebuild-compare.sh SOURCE_DIR BUILD_DIR TOOLCHAIN_FILE BUILD_TYPE
set -euo pipefail
source_dir=${1:?usage: rebuild-compare.sh SOURCE_DIR BUILD_DIR TOOLCHAIN_FILE BUILD_TYPE}
build_dir=${2:?}
toolchain=${3:?}
build_type=${4:?}
expected=$build_dir/pelmora.exe
[ -f "$expected" ] || { echo "rebuild-compare.sh: $expected is not built" >&2; exit 2; }

work=$(mktemp -d /tmp/pelmora-rebuild.XXXXXXXX)
trap 'rm -rf "$work"' EXIT
copy=$work/another-source-folder
mkdir -p "$copy"
cp -r "$source_dir"/CMakeLists.txt "$source_dir"/cmake "$source_dir"/res "$source_dir"/src \
      "$source_dir"/tools "$copy"/
# The toolchain file is the copy's own: nothing of the first tree is used.
toolchain_copy=$copy/cmake/$(basename "$toolchain")
again=$work/b
if ! { cmake -S "$copy" -B "$again" -DCMAKE_TOOLCHAIN_FILE="$toolchain_copy" \
             -DCMAKE_BUILD_TYPE="$build_type" -DPELMORA_TESTS=OFF &&
       cmake --build "$again" -j2 --target pelmora; } >"$work/build.log" 2>&1; then
  cat "$work/build.log" >&2
  echo "rebuild-compare.sh: the second build failed" >&2
  exit 1
fi
if ! cmp -s "$expected" "$again/pelmora.exe"; then
  echo "pelmora.exe differs between $build_dir and a build of the same sources in $again:" >&2
  differing=$(cmp -l "$expected" "$again/pelmora.exe" | wc -l) || true
  echo "$differing bytes differ; the first (offset from 1, octal values):" >&2
  cmp -l "$expected" "$again/pelmora.exe" | head -8 >&2 || true
  exit 1
fi
echo "pelmora.exe ($(stat -c %s "$expected") bytes) is the same when built again in $again"
