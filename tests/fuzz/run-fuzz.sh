#!/usr/bin/env bash
# Runs fuzz targets of the native sanitizer build for a bounded time each, on the committed seed
# corpus plus the working corpus that earlier runs grew in the build folder.
#   run-fuzz.sh FUZZ_BUILD_DIR SECONDS [TARGET...]   (all targets when none is named)
# Each run's executions are appended to FUZZ_BUILD_DIR/executions.txt.
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
dir=${1:?usage: run-fuzz.sh FUZZ_BUILD_DIR SECONDS [TARGET...]}
seconds=${2:?usage: run-fuzz.sh FUZZ_BUILD_DIR SECONDS [TARGET...]}
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$dir"/fuzz_*; do targets+=("${exe##*/fuzz_}"); done
fi

status=0
for target in "${targets[@]}"; do
  exe=$dir/fuzz_$target
  [ -x "$exe" ] || { echo "run-fuzz.sh: $exe is not built" >&2; exit 2; }
  work=$dir/corpus/$target
  log=$dir/$target.log
  mkdir -p "$work"
  if ASAN_OPTIONS=detect_leaks=1 "$exe" -max_total_time="$seconds" -print_final_stats=1 \
       -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$dir/crash-$target-" \
       "$work" "$here/seeds/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    echo "$target: ${runs:-?} executions in ${seconds} s, no failure"
    echo "$(date -u +%FT%TZ) $target $seconds ${runs:-0}" >>"$dir/executions.txt"
  else
    tail -40 "$log"
    echo "$target: FAILED (input saved as $dir/crash-$target-*)"
    status=1
  fi
done
exit "$status"
