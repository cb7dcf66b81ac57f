#!/usr/bin/env bash
# Runs every fuzz target for a set time: fuzz/run.sh [SECONDS] [BUILD_DIR]
# (60 seconds each and build-fuzz unless given).  The targets run side by
# side, so the whole run takes SECONDS; each one's output goes to
# BUILD_DIR/fuzz-<target>.log, and its final figures (or its finding) are
# printed at the end.  The seeds in fuzz/corpus/<target>/ run first, so an
# input that once failed is tried again; what the fuzzer learns goes to
# BUILD_DIR/corpus/<target>/ and a failing input to BUILD_DIR/findings/,
# never into the sources.
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=${2:-build-fuzz}
targets=(text clean_name nfo_ids command_line)
for target in "${targets[@]}"; do
  binary="$build/fuzz/fuzz_$target"
  if [[ ! -x $binary ]]; then
    echo "fuzz: no $binary; build it with: cmake --preset fuzz && cmake --build build-fuzz" >&2
    exit 2
  fi
done

echo "fuzz: ${targets[*]} side by side, ${seconds} s each"
pids=()
for target in "${targets[@]}"; do
  mkdir -p "$build/corpus/$target" "$build/findings"
  # -timeout: an input that takes seconds is a hang, not a slow run.
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
    -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$target-" \
    "$build/corpus/$target" "fuzz/corpus/$target" \
    >"$build/fuzz-$target.log" 2>&1 &
  pids+=($!)
done

failed=()
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  log="$build/fuzz-$target.log"
  if wait "${pids[$i]}"; then
    echo "== fuzz_$target: $(grep -m1 -o 'Done [0-9]* runs in [0-9]* second(s)' "$log")"
    grep '^stat::' "$log"
  else
    failed+=("$target")
    echo "== fuzz_$target: a finding (whole output in $log)"
    tail -n 60 "$log"
  fi
done
if ((${#failed[@]})); then
  echo "fuzz: findings in ${failed[*]} (inputs in $build/findings/)" >&2
  exit 1
fi
echo "fuzz: no findings"
