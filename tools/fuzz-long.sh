#!/usr/bin/env bash
# The longer random fuzz run, for developers before they stop for the day:
# every target for SECONDS (default 300, so about 40 minutes for the seven
# targets with the build), each from a random seed, on a corpus that grows
# from run to run in build-fuzz/corpus/<target> (seeds and earlier findings
# are added every time).
#   tools/fuzz-long.sh [SECONDS]
# Crash inputs land in build-fuzz/findings/<target>: minimise one (the target
# with -minimize_crash=1 -runs=10000 FILE), mend the fault and keep the input
# under tests/fuzz/regressions/<target>/, which tools/fuzz.sh replays in CI.
set -euo pipefail

cd "$(dirname "$0")/.."
seconds=${1:-300}
. tools/fuzz-build.sh

status=0
for t in "${targets[@]}"; do
  corpus=$build_dir/corpus/$t
  findings=$build_dir/findings/$t
  mkdir -p "$corpus" "$findings"
  fuzz_seeds "$t" "$corpus"
  if [ -d "tests/fuzz/regressions/$t" ]; then cp tests/fuzz/regressions/"$t"/* "$corpus/"; fi
  echo "== $t: ${seconds}s"
  "$build_dir/tests/$t" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" || status=1
done
exit $status
