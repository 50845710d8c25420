#!/usr/bin/env bash
# Fails when a C++ file of the project is not formatted as .clang-format says, and names each
# such file. The files are the tracked ones when the sources are a git checkout (a clean clone
# checks exactly what was committed), else every .cpp and .h under the source folders.
#   check-format.sh SOURCE_DIR
set -euo pipefail
source_dir=${1:?usage: check-format.sh SOURCE_DIR}
cd "$source_dir"
folders=(src tests tools bench)

command -v clang-format >/dev/null || { echo "check-format.sh: clang-format is not installed" >&2; exit 2; }
# Without the project's style clang-format would quietly use its own default.
[ -f .clang-format ] || { echo "check-format.sh: no .clang-format in $PWD" >&2; exit 2; }

files=()
if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$(pwd -P)" ]; then
  while IFS= read -r f; do
    [ -f "$f" ] && files+=("$f")  # a tracked file deleted in the working tree is not checked
  done < <(git ls-files -- "${folders[@]/%//*.cpp}" "${folders[@]/%//*.h}")
else
  while IFS= read -r f; do files+=("$f"); done < <(
    find "${folders[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
fi
[ ${#files[@]} -gt 0 ] || { echo "check-format.sh: no C++ files found under ${folders[*]}" >&2; exit 2; }

# One clang-format for all files (one per file took 12 s of a test run, this takes under one): it
# names each file that differs in a line "FILE:LINE:COLUMN: error: code should be
# clang-formatted [-Wclang-format-violations]".
unformatted=()
if ! out=$(clang-format --dry-run --Werror "${files[@]}" 2>&1); then
  declare -A named=()
  while IFS= read -r line; do
    [[ $line =~ ^(.+):[0-9]+:[0-9]+:\ error:\ .*\[-Wclang-format-violations\]$ ]] || continue
    named[${BASH_REMATCH[1]}]=1
  done <<<"$out"
  for f in "${files[@]}"; do
    [ -n "${named[$f]:-}" ] && unformatted+=("$f")
  done
  # Anything but a formatting difference (a broken .clang-format, say) is not the files' fault.
  [ ${#unformatted[@]} -gt 0 ] || { echo "$out" >&2; exit 2; }
fi

if [ ${#unformatted[@]} -gt 0 ]; then
  echo "not formatted as .clang-format says ($(clang-format --version | sed 's/.*version //')):"
  printf '  %s\n' "${unformatted[@]}"
  echo "${#unformatted[@]} of ${#files[@]} files; to format them: clang-format -i <file>..."
  exit 1
fi
echo "all ${#files[@]} C++ files formatted as .clang-format says"
