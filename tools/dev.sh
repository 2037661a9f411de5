#!/usr/bin/env bash
# Set up a Debian 12 machine for rm427, build it, and run the program or the tests.
#   tools/dev.sh run [program arguments]   set up, build, start rm427
#   tools/dev.sh test                      set up, build, run every test
#   tools/dev.sh build                     set up and build only
# BUILD_DIR (default build), RM427_SANITIZE=1 (ASan+UBSan build) and
# RM427_WERROR=1 (warnings are errors, as in CI) are honoured.
set -euo pipefail

cd "$(dirname "$0")/.."
action=${1:-run}
shift || true

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-serialport-dev
          libgtest-dev googletest fonts-noto-cjk qt6-translations-l10n clang-format ccache
          libcli11-dev)

. tools/packages.sh
need_packages "${packages[@]}"

build_dir=${BUILD_DIR:-build}
sanitize=OFF
[ "${RM427_SANITIZE:-0}" = 1 ] && sanitize=ON
werror=OFF
[ "${RM427_WERROR:-0}" = 1 ] && werror=ON
# ccache keeps compiled objects between builds (CI builds a fresh clone each
# time); paths under the checkout are hashed relative to it, so any clone hits.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build_dir" -G Ninja -DRM427_SANITIZE=$sanitize -DRM427_WERROR=$werror "${launcher[@]}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"

case "$action" in
  build) ;;
  test)
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" --timeout 600
    ;;
  run)
    if [ -x "$build_dir/app/rm427" ]; then
      exec "$build_dir/app/rm427" "$@"
    else
      exec "$build_dir/app/rm427-cli" --help
    fi
    ;;
  *) echo "usage: tools/dev.sh run|test|build" >&2; exit 2 ;;
esac
