#!/usr/bin/env bash
# Builds the core, rm427-cli (the build without Qt, so without the radio
# commands) and the core test suite as 64-bit Windows programs with Debian's
# mingw-w64, and runs them under wine64 without a display.
#   bash tools/windows-check.sh
# With a Qt for mingw in CACHE (default ~/.cache/rm427/qt-mingw-6.4.2, built
# once by tools/qt-mingw.sh) it goes on with the windows: rm427.exe, the widget
# suites under wine, and the installer (tools/windows-gui.sh).
# BUILD_DIR (default build-windows) is honoured. The last line reads
# "windows: N passed, M failed"; the exit status is 0 only when M is 0.
set -euo pipefail
[ -n "${TRACE:-}" ] && set -x

cd "$(dirname "$0")/.."
root=$(pwd)
started=$(date +%s)

packages=(cmake ninja-build mingw-w64 g++-mingw-w64-x86-64-posix wine64 googletest libcli11-dev)
. tools/packages.sh
need_packages "${packages[@]}"
installed=$(date +%s)

build=${BUILD_DIR:-build-windows}
mkdir -p "$build"
build=$(cd "$build" && pwd)
toolchain=$root/tools/mingw-w64.cmake
jobs=$(nproc)

# GoogleTest from Debian's sources, built once with the same compiler.
gtest=$build/googletest
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  echo "Building GoogleTest for Windows"
  cmake -S /usr/src/googletest -B "$build/googletest-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON -DCMAKE_INSTALL_PREFIX="$gtest" >/dev/null
  cmake --build "$build/googletest-build" -j"$jobs" >/dev/null
  cmake --install "$build/googletest-build" >/dev/null
fi

echo "Building core_tests.exe and rm427-cli.exe"
# Release: no debug information, which only slows the static links.
launcher=()
if command -v ccache >/dev/null; then  # objects kept between runs, any clone
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build/rm427" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DRM427_GUI=OFF -DGTest_DIR="$gtest/lib/cmake/GTest" "${launcher[@]}" >/dev/null
cmake --build "$build/rm427" -j"$jobs" --target core_tests rm427-cli
built=$(date +%s)

# wine: a private prefix in the build folder, no display, no messages of its own.
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
wineserver=$(command -v wineserver || true)
[ -n "$wineserver" ] || wineserver=/usr/lib/wine/wineserver64
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing the wine prefix"
  "$wine" wineboot --init >/dev/null 2>&1 || true
  "$wineserver" -w
fi
prepared=$(date +%s)

passed=0
failed=0

# The core suite: one run of the program, every test counted.
log=$build/core_tests.log
set +e
(cd "$build/rm427/tests" && "$wine" ./core_tests.exe) 2>&1 | tr -d '\r' >"$log"
rc=${PIPESTATUS[0]}
set -e
grep -E '^\[  FAILED  \] .* \([0-9]+ ms\)$|Failure$|^[^ ].*:[0-9]+: ' "$log" || true
ok=$(grep -cE '^\[       OK \] ' "$log" || true)
bad=$(grep -cE '^\[  FAILED  \] .* \([0-9]+ ms\)$' "$log" || true)
echo "core_tests.exe: $ok passed, $bad failed (exit status $rc)"
passed=$((passed + ok))
failed=$((failed + bad))
if [ "$rc" -ne 0 ] && [ "$bad" -eq 0 ]; then
  echo "FAILED core_tests.exe ended without reporting a failed test"
  failed=$((failed + 1))
fi

# rm427-cli as a user runs it, in a folder of its own.
cli=$build/rm427/app/rm427-cli.exe
work=$build/cli-check
rm -rf "$work"
mkdir -p "$work"
cd "$work"
out=$work/.out
err=$work/.err
run() {
  set +e
  "$wine" "$cli" "$@" >"$out.raw" 2>"$err.raw"
  status=$?
  set -e
  tr -d '\r' <"$out.raw" >"$out"
  tr -d '\r' <"$err.raw" >"$err"
}
counted() {  # counted WHO WHAT COMMAND...: one check, added to passed or failed
  local who=$1 what=$2
  shift 2
  if "$@"; then
    passed=$((passed + 1))
    return 0
  fi
  failed=$((failed + 1))
  echo "FAILED $who: $what"
  return 1
}
check() {  # check WHAT COMMAND...: about the last run, whose stderr a failure shows
  local what=$1
  shift
  counted rm427-cli "$what (status $status)" "$@" || sed 's/^/  stderr: /' "$err" | head -5
}
lines() { [ "$(wc -l <"$1")" -eq "$2" ]; }
size() { [ -f "$1" ] && [ "$(stat -c %s "$1")" -eq "$2" ]; }
strays() { [ "$(find "$1" -maxdepth 1 \( -name '.*' -o -name '*.tmp*' \) -type f | wc -l)" -eq 0 ]; }

run new plain.dat
check "new writes a data file" test "$status" -eq 0 -a -s plain.dat
run info plain.dat
check "info reads it" grep -q 'Programmed channels: 0 of 128' "$out"
run dump plain.dat
check "dump prints 256 lines" lines "$out" 256
cp "$out" plain.dump
run export-image plain.dat image.bin
check "export-image writes 4096 bytes" size image.bin 4096
run import-image image.bin back.dat
check "import-image writes a data file" test "$status" -eq 0
run dump back.dat
check "the image comes back unchanged" cmp -s "$out" plain.dump

mkdir 中文目录
run new 中文目录/测试文件.dat
check "new under a Chinese file and folder name" test "$status" -eq 0 -a -s 中文目录/测试文件.dat
run info 中文目录/测试文件.dat
check "info reads the Chinese-named file" grep -q 'Programmed channels: 0 of 128' "$out"
run export-image 中文目录/测试文件.dat 中文目录/映像.bin
check "export-image to a Chinese name" size 中文目录/映像.bin 4096
cp plain.dat 中文目录/测试文件.dat
printf 'x' >>中文目录/测试文件.dat
run import-image 中文目录/映像.bin 中文目录/测试文件.dat
check "import-image replaces an existing file" cmp -s 中文目录/测试文件.dat back.dat
check "no temporary file is left beside it" strays 中文目录

run new 没有的目录/x.dat
check "a missing folder is refused with a reason" test "$status" -ne 0 -a -s "$err" -a ! -e 没有的目录

cd "$root"
cli_done=$(date +%s)

# The windows, their test suites and the installer: only with a Qt for mingw
# that tools/qt-mingw.sh has built (it takes hours, so CI does not build it).
qt_cache=${CACHE:-$HOME/.cache/rm427/qt-mingw-6.4.2}
if [ -f "$qt_cache/qt/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ] && [ -f tools/windows-gui.sh ]; then
  . tools/windows-gui.sh
else
  echo "windows gui: skipped, no Qt for mingw in $qt_cache"
fi

finished=$(date +%s)
echo "times: packages $((installed - started)) s, build $((built - installed)) s," \
     "wine prefix $((prepared - built)) s, runs $((cli_done - prepared)) s," \
     "gui $((finished - cli_done)) s, total $((finished - started)) s"
echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
