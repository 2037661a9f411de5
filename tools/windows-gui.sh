# Sourced by tools/windows-check.sh when a Qt for mingw is in qt_cache (see
# tools/qt-mingw.sh): builds rm427.exe, rm427-cli.exe with the radio commands
# and the widget suites against it, gathers the program with its Qt DLLs,
# plugins and translations, runs the suites and the program under wine on a
# virtual X display, and builds the installer, installs and uninstalls it.
# Adds to passed and failed; leaves build/rm427-setup.exe.

qt=$qt_cache/qt
gui_build=$build/gui
stage=$build/stage
echo "Building rm427.exe and the widget suites against $qt"
need_packages nsis xvfb xdotool imagemagick fonts-noto-cjk libgtest-dev

cmake -S . -B "$gui_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DRM427_GUI=ON -DGTest_DIR="$gtest/lib/cmake/GTest" \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      "${launcher[@]}" >/dev/null
# CMake writes add_test([=[tst_name]=] ...) (older ones add_test(tst_name ...)).
suites=$(sed -n 's/^add_test(\(\[=\[\)\{0,1\}\(tst_[a-z_]*\).*/\2/p' "$gui_build/tests/CTestTestfile.cmake" | sort)
# shellcheck disable=SC2086
cmake --build "$gui_build" -j"$jobs" --target rm427 rm427-cli $suites

# The program as it is installed: beside rm427.exe the Qt DLLs, the C++
# runtime's DLLs, qt.conf pointing Qt at the plugins and translations here.
rm -rf "$stage"
mkdir -p "$stage/plugins/platforms" "$stage/plugins/styles" "$stage/translations"
cp "$gui_build/app/rm427.exe" "$gui_build/app/rm427-cli.exe" "$stage/"
for m in Core Gui Widgets PrintSupport SerialPort; do
  if [ -f "$qt/bin/Qt6$m.dll" ]; then cp "$qt/bin/Qt6$m.dll" "$stage/"; fi
done
cp "$qt/plugins/platforms/qwindows.dll" "$stage/plugins/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/plugins/styles/"
cp "$qt/translations/qtbase_zh_CN.qm" "$stage/translations/"
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
cp "$runtime/libstdc++-6.dll" "$runtime/libgcc_s_seh-1.dll" "$stage/"
cp /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$stage/"
printf '[Paths]\nPrefix = .\nPlugins = plugins\nTranslations = translations\n' >"$stage/qt.conf"

# One X display for every window of this run (wine draws through X), with
# a window manager so that windows get the focus: WINDOWS_DISPLAY names its
# number, else the first free one from 90 on.
display=${WINDOWS_DISPLAY:-$(
  for n in $(seq 90 130); do [ -e "/tmp/.X$n-lock" ] || { echo $n; break; }; done
)}
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=:$display
sleep 2
wm_pid=""
if command -v openbox >/dev/null; then
  openbox >/dev/null 2>&1 &
  wm_pid=$!
fi
trap 'kill $wm_pid $xvfb_pid 2>/dev/null || true' EXIT

# Chinese text under wine: wine gives its programs the host's fonts, but
# Windows' own Chinese fonts are not there; Qt asks for them by name, so they
# stand for Noto Sans CJK (fonts-noto-cjk).
"$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Microsoft YaHei' /d 'Noto Sans CJK SC' /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'SimSun' /d 'Noto Sans CJK SC' /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Song' /d 'Noto Sans CJK SC' /f >/dev/null 2>&1

# The widget suites: each is a Windows program started beside the DLLs.
winpath=$("$wine" winepath -w "$stage" 2>/dev/null | tr -d '\r')
export WINEPATH=$winpath
gui_passed=0
gui_failed=0
printf '[Paths]\nPrefix = %s\nPlugins = plugins\nTranslations = translations\n' \
       "$(echo "$winpath" | tr '\\' /)" >"$gui_build/tests/qt.conf"
cp "$qt/bin/Qt6Test.dll" "$gui_build/tests/"  # the suites' own, not installed
for suite in $suites; do
  log=$gui_build/tests/$suite.log
  set +e
  # Qt Test's own log file: a Windows program's console output does not
  # always reach a pipe under wine.
  rm -f "$log.raw"
  (cd "$gui_build/tests" && timeout 300 "$wine" "./$suite.exe" -o "$suite.log.raw,txt" >/dev/null 2>&1)
  rc=$?
  set -e
  tr -d '\r' <"$log.raw" >"$log" 2>/dev/null || true
  totals=$(grep -E '^Totals: ' "$log" | tail -1 || true)
  ok=$(echo "$totals" | sed -n 's/^Totals: \([0-9]*\) passed.*/\1/p')
  bad=$(echo "$totals" | sed -n 's/.* \([0-9]*\) failed.*/\1/p')
  skipped=$(echo "$totals" | sed -n 's/.* \([0-9]*\) skipped.*/\1/p')
  if [ -z "$totals" ]; then
    echo "FAILED $suite.exe ended without its totals (exit status $rc)"
    tail -5 "$log" | sed 's/^/  /'
    gui_failed=$((gui_failed + 1))
    continue
  fi
  grep -E '^FAIL!' -A2 "$log" | sed 's/^/  /' || true
  echo "$suite.exe: $ok passed, $bad failed, $skipped skipped"
  gui_passed=$((gui_passed + ok))
  gui_failed=$((gui_failed + bad))
  if [ "$rc" -ne 0 ] && [ "$bad" -eq 0 ]; then
    echo "FAILED $suite.exe ended with status $rc"
    gui_failed=$((gui_failed + 1))
  fi
done
echo "windows gui suites: $gui_passed passed, $gui_failed failed"
passed=$((passed + gui_passed))
failed=$((failed + gui_failed))

gui_check() { counted rm427.exe "$@" || true; }
window_named() {  # window_named PATTERN SECONDS: the id of a shown window whose title matches
  local id=""
  for _ in $(seq 1 "$2"); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && break
    sleep 1
  done
  echo "$id"
}

# The Win32 serial line: wine's COM5 is a pseudo-terminal on which the
# project's simulator (built for this machine) answers as a radio would;
# rm427-cli.exe writes a codeplug to it and reads it back through COM5.
host=$build/host
cmake -S . -B "$host" -G Ninja -DRM427_GUI=OFF -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build "$host" -j"$jobs" --target rm427-sim >/dev/null
com=$build/com-check
rm -rf "$com"
mkdir -p "$com"
printf 'Channel,RxFreq,TxFreq\n1,446.000,446.000\n2,439.500,431.900\n' >"$com/two.csv"
"$host/sim/rm427-sim" --low 4000 --high 4700 --save "$com/radio.dat" >"$com/sim.out" 2>&1 &
sim_pid=$!
pty=""
for _ in $(seq 1 50); do
  pty=$(grep -o '^/dev/pts/[0-9]*' "$com/sim.out" 2>/dev/null || true)
  [ -n "$pty" ] && break
  sleep 0.1
done
ln -sfn "$pty" "$WINEPREFIX/dosdevices/com5"
cli_exe() {  # rm427-cli.exe in the check's folder; its output on stdout, its status in st
  set +e
  (cd "$com" && timeout 120 "$wine" "$stage/rm427-cli.exe" "$@" 2>>cli.err | tr -d '\r'; exit "${PIPESTATUS[0]}")
  st=$?
  set -e
}
cli_exe new w.dat >/dev/null
cli_exe import-csv two.csv w.dat >/dev/null
cli_exe write --port COM5 w.dat >/dev/null
gui_check "rm427-cli.exe writes a radio through COM5" test "$st" -eq 0 -a -s "$com/radio.dat"
cli_exe read --port COM5 r.dat >/dev/null
gui_check "rm427-cli.exe reads it back through COM5" test "$st" -eq 0 -a -s "$com/r.dat"
written=$(cli_exe channels w.dat)
back=$(cli_exe channels r.dat)
gui_check "what was read is what was written" test -n "$written" -a "$written" = "$back"
kill $sim_pid 2>/dev/null || true
wait $sim_pid 2>/dev/null || true
rm -f "$WINEPREFIX/dosdevices/com5"

# The program itself: its version on the console.
version=$("$wine" "$stage/rm427.exe" --version 2>/dev/null | tr -d '\r')
gui_check "--version prints the version" grep -q '^rm427 [0-9]' <<<"$version"
# rm427.exe --demo in each language: the main window, then the write window
# (Alt+L, W), each photographed into build/shots.
shots=$build/shots
mkdir -p "$shots"
for language in 0 1; do
  name=$([ $language = 0 ] && echo en || echo zh)
  "$wine" reg add 'HKLM\SoftWare\RM-427' /v language /d $language /f >/dev/null 2>&1
  "$wine" "$stage/rm427.exe" --demo >"$build/rm427-demo-$name.log" 2>&1 &
  disown  # ended by wineserver -k below, without a word from bash
  window=$(window_named '^RM-427' 90)
  gui_check "--demo opens the main window ($name)" test -n "$window"
  if [ -n "$window" ]; then
    sleep 3
    import -window root "$shots/main-$name.png"
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window" 2>/dev/null || true
    xdotool key --delay 300 alt+l w
    title=$([ $language = 0 ] && echo 'Write data to radio' || echo '向对讲机写入数据')
    write=$(window_named "^$title\$" 30)
    sleep 2
    import -window root "$shots/write-$name.png"
    gui_check "Alt+L, W opens the write window ($name)" test -n "$write"
  fi
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w
done
"$wine" reg delete 'HKLM\SoftWare\RM-427' /f >/dev/null 2>&1 || true

# The installer: built with NSIS, installed and uninstalled without
# questions (/S) under wine.
echo "Building the installer"
makensis -V2 -DVERSION="$(sed -n 's/^project(rm427 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" \
         -DSTAGE="$stage" -DOUTFILE="$build/rm427-setup.exe" packaging/windows/rm427.nsi
drive_c=$WINEPREFIX/drive_c
target="$drive_c/Program Files/RM-427"
rm -rf "$target"
"$wine" "$build/rm427-setup.exe" /S >/dev/null 2>&1 || true
"$wineserver" -w
gui_check "the installer puts rm427.exe in Program Files" test -f "$target/rm427.exe"
gui_check "the installer puts Qt's platform plugin beside it" test -f "$target/plugins/platforms/qwindows.dll"
gui_check "the installer adds a Start menu entry" \
  test -f "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/RM-427/RM-427.lnk"
assoc=$("$wine" reg query 'HKCR\RM427.DataFile\shell\open\command' /ve 2>/dev/null | tr -d '\r')
gui_check "the installer opens .dat files with rm427.exe" grep -qi 'rm427.exe' <<<"$assoc"
installed_version=$("$wine" "$target/rm427.exe" --version 2>/dev/null | tr -d '\r')
gui_check "the installed program starts" test "$installed_version" = "$version"
"$wine" "$target/Uninstall.exe" /S >/dev/null 2>&1 || true
"$wineserver" -w
gui_check "the uninstaller removes the program" test ! -e "$target/rm427.exe"
gui_check "the uninstaller removes the Start menu entry" \
  test ! -e "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/RM-427"
gui_check "the uninstaller removes the file type" \
  bash -c "! '$wine' reg query 'HKCR\\RM427.DataFile' >/dev/null 2>&1"
ls -l "$build/rm427-setup.exe" | awk '{print "installer: " $5 " bytes"}'

kill $wm_pid $xvfb_pid 2>/dev/null || true
trap - EXIT
unset DISPLAY WINEPATH
