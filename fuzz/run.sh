#!/usr/bin/env bash
# Runs every fuzz target for a set time: fuzz/run.sh [SECONDS] [BUILD_DIR]
# (60 seconds each and build-fuzz unless given).  The seeds in
# fuzz/corpus/<target>/ run first, so an input that once failed is tried
# again; what the fuzzer learns goes to BUILD_DIR/corpus/<target>/ and a
# failing input to BUILD_DIR/findings/, never into the sources.
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=${2:-build-fuzz}
failed=()
for target in text clean_name command_line; do
  binary="$build/fuzz/fuzz_$target"
  if [[ ! -x $binary ]]; then
    echo "fuzz: no $binary; build it with: cmake --preset fuzz && cmake --build build-fuzz" >&2
    exit 2
  fi
  mkdir -p "$build/corpus/$target" "$build/findings"
  echo "== fuzz_$target: ${seconds} s"
  # -timeout: an input that takes seconds is a hang, not a slow run.
  if ! "$binary" -max_total_time="$seconds" -timeout=10 \
      -max_len=4096 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$target-" \
      "$build/corpus/$target" "fuzz/corpus/$target"; then
    failed+=("$target")
  fi
done
if ((${#failed[@]})); then
  echo "fuzz: findings in ${failed[*]} (inputs in $build/findings/)" >&2
  exit 1
fi
echo "fuzz: no findings"
