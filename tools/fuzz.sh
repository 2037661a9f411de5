#!/usr/bin/env bash
# Build the libFuzzer targets with clang into build-fuzz and run each one.
#   tools/fuzz.sh [seconds]    seconds per target, default 60
# Needs clang (installed here when missing). Corpora are kept in
# build-fuzz/corpus/<target>, crash inputs land in build-fuzz/findings/<target>.
set -euo pipefail

cd "$(dirname "$0")/.."
seconds=${1:-60}
build_dir=build-fuzz
cc=${CC:-clang}
cxx=${CXX:-clang++}
command -v "$cxx" >/dev/null || { cc=clang-14; cxx=clang++-14; }
if ! command -v "$cxx" >/dev/null; then
  . tools/packages.sh
  need_packages clang
  cc=clang; cxx=clang++
fi

launcher=()
if command -v ccache >/dev/null; then  # objects kept between runs, any clone
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
CC=$cc CXX=$cxx cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRM427_FUZZ=ON -DRM427_SANITIZE=ON -DRM427_GUI=OFF "${launcher[@]}" >/dev/null
targets=()
for src in tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$src" .cpp)"); done
cmake --build "$build_dir" -j2 --target rm427-cli "${targets[@]}"

for t in "${targets[@]}"; do
  corpus=$build_dir/corpus/$t
  findings=$build_dir/findings/$t
  mkdir -p "$corpus" "$findings"
  # Seeds: the data file of a new image and a plain three-byte file.
  "$build_dir/app/rm427-cli" new "$corpus/seed-new.dat"
  printf 'abc\0' >"$corpus/seed-abc.dat"
  # Target-specific seeds, when a target has them.
  if [ -d "tests/fuzz/seeds/$t" ]; then cp tests/fuzz/seeds/"$t"/* "$corpus/"; fi
  echo "== $t: ${seconds}s"
  "$build_dir/tests/$t" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus"
done
