# Sourced by tools/fuzz.sh and tools/fuzz-long.sh: builds the libFuzzer
# targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer, core
# instrumented too) into build-fuzz and sets build_dir and targets; defines
# fuzz_seeds TARGET FOLDER, which puts the target's seed inputs there.
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

fuzz_seeds() {
  # The data file of a new image, a plain three-byte file and the target's own.
  "$build_dir/app/rm427-cli" new "$2/seed-new.dat" >/dev/null
  printf 'abc\0' >"$2/seed-abc.dat"
  if [ -d "tests/fuzz/seeds/$1" ]; then cp tests/fuzz/seeds/"$1"/* "$2/"; fi
}
