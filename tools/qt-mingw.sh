#!/usr/bin/env bash
# Builds the parts of Qt 6.4.2 that rm427 uses as 64-bit Windows DLLs with
# Debian's mingw-w64, from Debian's own source packages, into a cache folder
# outside the checkout; later runs reuse what is there.
#   bash tools/qt-mingw.sh
# CACHE (default ~/.cache/rm427/qt-mingw-6.4.2) is honoured; the Qt for
# Windows lands in CACHE/qt. JOBS (default 2) and NICE (default 19) bound the
# build's share of the machine. The host's Qt tools (moc, rcc, uic from
# qt6-base-dev-tools, the same Qt version) are used, Qt's own are not built.
#
# What is built: qtbase's Core, Gui, Widgets, PrintSupport and Test with the
# Windows platform plugin, qtserialport when its source can be had, and Qt's
# Chinese translation of its own texts (qtbase_zh_CN.qm). Everything else is
# switched off. The log of every step is CACHE/build.log.
set -euo pipefail

cd "$(dirname "$0")/.."
root=$(pwd)
version=6.4.2
cache=${CACHE:-$HOME/.cache/rm427/qt-mingw-$version}
jobs=${JOBS:-2}
nice_level=${NICE:-19}
prefix=$cache/qt
started=$(date +%s)

packages=(cmake ninja-build perl dpkg-dev mingw-w64 g++-mingw-w64-x86-64-posix
          qt6-base-dev qt6-base-dev-tools qt6-l10n-tools)
. tools/packages.sh
need_packages "${packages[@]}"

mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
prefix=$cache/qt
src=$cache/src
mkdir -p "$src"
toolchain=$cache/mingw-w64-shared.cmake
log=$cache/build.log

say() { echo "qt-mingw: $*"; }
run_logged() {  # run_logged WHAT COMMAND...: the output goes to the log only
  local what=$1
  shift
  say "$what (log: $log)"
  echo "=== $what: $*" >>"$log"
  if ! nice -n "$nice_level" "$@" >>"$log" 2>&1; then
    say "FAILED: $what; the end of the log:"
    tail -30 "$log" | sed 's/^/  /'
    exit 1
  fi
}

# The source packages, through apt with a private list of deb-src entries made
# from the Debian entries apt already uses (nothing under /etc is changed).
apt_dir=$cache/apt
apt_opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources"
          -o "Dir::State::Lists=$apt_dir/lists" -o Dir::Cache::pkgcache=
          -o Dir::Cache::srcpkgcache= -o APT::Sandbox::User=root)
fetch_source() {  # fetch_source PACKAGE VERSION DIR
  local package=$1 pversion=$2 dir=$3
  [ -f "$src/$dir/.extracted" ] && return 0
  if [ ! -d "$apt_dir/lists" ] || [ -z "$(ls "$apt_dir/lists" 2>/dev/null | grep _Sources$)" ]; then
    mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial"
    {
      for f in /etc/apt/sources.list.d/*.sources; do [ -f "$f" ] && cat "$f" && echo; done
    } | awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /Types:.*deb/ && /URIs:.*debian/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
      >"$apt_dir/sources/debian-src.sources"
    if [ -f /etc/apt/sources.list ]; then
      sed -n 's/^deb \(.*debian.*\)$/deb-src \1/p' /etc/apt/sources.list \
        >"$apt_dir/sources/debian-src.list"
    fi
    say "reading Debian's source lists"
    apt-get -q "${apt_opts[@]}" update >>"$log" 2>&1
  fi
  say "fetching the source package $package $pversion"
  (cd "$src" && apt-get -q "${apt_opts[@]}" source --download-only "$package=$pversion") >>"$log" 2>&1 || {
    say "FAILED: apt-get source $package=$pversion; the end of the log:"
    tail -5 "$log" | sed 's/^/  /'
    return 1
  }
  rm -rf "${src:?}/$dir"
  dpkg-source -x "$src/${package}_${pversion#*:}.dsc" "$src/$dir" >>"$log" 2>&1
  touch "$src/$dir/.extracted"
}

# The compiler as tools/mingw-w64.cmake sets it, but the C++ runtime as DLLs:
# Qt's DLLs and the program must share one libstdc++. A copy, so the cache
# does not depend on the checkout it was built from (Qt's own toolchain file
# loads it for every later build against this Qt).
{
  cat tools/mingw-w64.cmake
  echo
  echo '# Qt for mingw: the C++ runtime as DLLs, shared with the Qt DLLs.'
  echo 'set(CMAKE_EXE_LINKER_FLAGS_INIT "")'
} >"$toolchain.new"
if cmp -s "$toolchain.new" "$toolchain"; then rm "$toolchain.new"; else mv "$toolchain.new" "$toolchain"; fi

host_cmake=/usr/lib/x86_64-linux-gnu/cmake

# qtbase: the modules the program and its tests link, nothing else.
built_now=""
if [ ! -f "$prefix/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ] || [ ! -f "$cache/.qtbase-done" ]; then
  built_now=yes
  fetch_source qt6-base 6.4.2+dfsg-10 qtbase
  # Qt 6.4 builds its DirectWrite font engine and font database only
  # together with Direct2D (not needed here), yet PrintSupport and the
  # windows plugin use them whenever DirectWrite is on: they would not link.
  # Their users follow the same rule as the engine.
  sed -i 's/^#if QT_CONFIG(directwrite)$/#if QT_CONFIG(directwrite) \&\& QT_CONFIG(direct2d)/' \
    "$src/qtbase/src/printsupport/platform/windows/qprintengine_win.cpp"
  sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$src/qtbase/src/plugins/platforms/windows/qwindowsintegration.cpp"
  # Debian's source leaves out the Wintab header (src/3rdparty/wintab, its
  # licence does not allow changes), which the windows platform plugin needs
  # for graphics tablets: the plugin goes without them.
  windows=$src/qtbase/src/plugins/platforms/windows
  if [ ! -f "$src/qtbase/src/3rdparty/wintab/wintab.h" ]; then
    sed -i 's/^qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION QT_FEATURE_tabletevent$/qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION FALSE/' \
      "$windows/CMakeLists.txt"
    for f in "$windows"/qwindowscontext.cpp "$windows"/qwindowspointerhandler.cpp "$windows"/qwindowspointerhandler.h; do
      sed -i 's/^#if QT_CONFIG(tabletevent)$/#if 0 \/\/ no Wintab in this source/' "$f"
    done
  fi
  # Switching OpenGL off by its feature leaves "dynamic OpenGL" on, which
  # the windows plugin then takes as OpenGL being there.
  sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
    "$windows/qwindowswindow.cpp"
  build=$cache/build-qtbase
  mkdir -p "$build"
  run_logged "configuring qtbase" \
    cmake -S "$src/qtbase" -B "$build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake" \
      -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
      -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF \
      -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF \
      -DFEATURE_xml=OFF -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF \
      -DFEATURE_zstd=OFF -DFEATURE_fontconfig=OFF -DFEATURE_jpeg=OFF \
      -DFEATURE_gif=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
      -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF \
      -DFEATURE_system_doubleconversion=OFF -DFEATURE_direct2d=OFF -DFEATURE_freetype=OFF \
      -DFEATURE_harfbuzz=OFF -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF \
      -DFEATURE_textodfwriter=OFF
  run_logged "building qtbase with $jobs jobs" cmake --build "$build" --parallel "$jobs"
  run_logged "installing qtbase" cmake --install "$build"
  touch "$cache/.qtbase-done"
fi

# qtserialport, when its source package can be had. Without it rm427 drives
# COM ports through the Win32 serial calls itself (gui/io/WinComLine.cpp).
if [ ! -f "$prefix/lib/cmake/Qt6SerialPort/Qt6SerialPortConfig.cmake" ]; then
  if fetch_source qt6-serialport 6.4.2-2 qtserialport; then
    build=$cache/build-qtserialport
    run_logged "configuring qtserialport" \
      "$prefix/bin/qt-cmake" -S "$src/qtserialport" -B "$build" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    run_logged "building qtserialport" cmake --build "$build" --parallel "$jobs"
    run_logged "installing qtserialport" cmake --install "$build"
  else
    say "qtserialport: not built, its source package could not be fetched"
  fi
fi

# Qt's own texts in Chinese (the standard buttons, the file and print
# dialogs): built from qt6-translations with the host's lrelease when the
# source package can be had, else Debian's compiled catalogue from
# qt6-translations-l10n (.qm files are the same on every system).
mkdir -p "$prefix/translations"
if [ ! -f "$prefix/translations/qtbase_zh_CN.qm" ]; then
  lrelease=/usr/lib/qt6/bin/lrelease
  if fetch_source qt6-translations 6.4.2-1 qttranslations && [ -x "$lrelease" ]; then
    run_logged "compiling qtbase_zh_CN" \
      "$lrelease" "$src/qttranslations/translations/qtbase_zh_CN.ts" \
        -qm "$prefix/translations/qtbase_zh_CN.qm"
  else
    need_packages qt6-translations-l10n
    say "qtbase_zh_CN.qm: taken from qt6-translations-l10n, its source package could not be fetched"
    cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$prefix/translations/"
  fi
fi

finished=$(date +%s)
built="qtbase"
[ -f "$prefix/lib/cmake/Qt6SerialPort/Qt6SerialPortConfig.cmake" ] && built="$built, qtserialport"
[ -f "$prefix/translations/qtbase_zh_CN.qm" ] && built="$built, qtbase_zh_CN.qm"
say "$built in $prefix: $(du -sh "$prefix" | cut -f1)"
if [ -n "$built_now" ]; then
  # An interrupted build goes on where it stopped: this run's time is then
  # only the last part of it.
  echo $((finished - started)) >"$cache/build-seconds"
  say "built in $((finished - started)) s"
elif [ -f "$cache/build-seconds" ]; then
  say "reused; this run $((finished - started)) s, its last build run took $(cat "$cache/build-seconds") s"
else
  say "reused; this run $((finished - started)) s (the build's time was not kept)"
fi
