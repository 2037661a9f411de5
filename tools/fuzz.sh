#!/usr/bin/env bash
# Build the libFuzzer targets with clang into build-fuzz and check each one
# the same way on every run, so the same commit always gives the same answer:
#   1. replay: every seed (tests/fuzz/seeds/<target>) and every earlier
#      finding (tests/fuzz/regressions/<target>) is run once;
#   2. exploration from those inputs with a fixed seed and a fixed number of
#      runs (RUNS, default per target below; 0 skips it).
#   tools/fuzz.sh [RUNS]
# A crash, a leak or a timeout fails the script; its input lands in
# build-fuzz/findings/<target>. Minimise it (the target with -minimize_crash=1
# -runs=10000 FILE) and keep it under tests/fuzz/regressions/<target>/.
# The longer random run for developers is tools/fuzz-long.sh.
# Needs clang (installed here when missing).
set -euo pipefail

cd "$(dirname "$0")/.."
runs_override=${1:-}
. tools/fuzz-build.sh

# Runs of the exploration per target: about 20 s each on the shared
# two-core CI machine, under two minutes and a half in all.
declare -A runs=(
  [fuzz_clone]=40000 [fuzz_commoncsv]=30000 [fuzz_csv]=100000 [fuzz_datafile]=300000
  [fuzz_diff]=12000 [fuzz_packer]=150000 [fuzz_rows]=16000
)
# Coverage also counts comparisons of addresses, so a run is repeatable only
# without address space randomisation; where the system refuses to turn it
# off, the counts may differ a little from run to run.
fixed=()
if setarch "$(uname -m)" -R true 2>/dev/null; then
  fixed=(setarch "$(uname -m)" -R)
else
  echo "fuzz: address space randomisation stays on: counts may vary" >&2
fi

for t in "${targets[@]}"; do
  inputs=$build_dir/inputs/$t
  explore=$build_dir/explore/$t
  findings=$build_dir/findings/$t
  rm -rf "$inputs" "$explore"
  mkdir -p "$inputs" "$explore" "$findings"
  fuzz_seeds "$t" "$inputs"
  if [ -d "tests/fuzz/regressions/$t" ]; then cp tests/fuzz/regressions/"$t"/* "$inputs/"; fi
  n=${runs_override:-${runs[$t]:-20000}}
  echo "== $t: replay of $(ls "$inputs" | wc -l) inputs, then $n runs with seed 1"
  # Files (not a folder) are each run once and nothing else.
  "$build_dir/tests/$t" -timeout=10 -artifact_prefix="$findings/" "$inputs"/*
  if [ "$n" -gt 0 ]; then
    # -reload=0: the corpus is never read again during the run (that goes
    # by the clock); new inputs go to a folder of this run only.
    "${fixed[@]}" "$build_dir/tests/$t" -seed=1 -runs="$n" -reload=0 -max_len=8192 -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$findings/" "$explore" "$inputs"
  fi
done
