#!/usr/bin/env bash
# Build the Debian package of rm427 and rm427-cli with CPack.
#   tools/package.sh            -> build-pkg/rm427_<version>_<arch>.deb
#   tools/package.sh --check    also install it with dpkg, run both programs'
#                               --version from /usr/bin, check the cables'
#                               device rule (uaccess for every chip), start
#                               rm427 offscreen for two seconds, and remove
#                               the package again
# BUILD_DIR (default build-pkg) is honoured. Only the two programs are built.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build-pkg}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build_dir" --target rm427 rm427-cli
(cd "$build_dir" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build_dir"/rm427_*.deb | head -1)
echo "$deb"
dpkg-deb --info "$deb" | sed -n '/Depends/p'

if [ "${1:-}" = --check ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" dpkg -i "$deb"
  trap '"${sudo_cmd[@]}" dpkg -r rm427 >/dev/null' EXIT
  /usr/bin/rm427-cli --version
  /usr/bin/rm427 --version
  test -f /usr/share/applications/rm427.desktop
  test -f /usr/share/icons/hicolor/scalable/apps/rm427.svg
  # The device rule: installed where udev reads it, every line of it tags
  # the device "uaccess", and the chips of the table are all there.
  rules=/usr/lib/udev/rules.d/70-rm427-cables.rules
  test -f "$rules"
  if grep -v '^#' "$rules" | grep . | grep -qv 'TAG+="uaccess"$'; then
    echo "device rule: a line without the uaccess tag" >&2
    exit 1
  fi
  for id in 067b:2303 1a86:7523 0403:6001 0403:0000 10c4:ea60; do
    grep -q "ATTRS{idVendor}==\"${id%:*}\", ATTRS{idProduct}==\"${id#*:}\"" "$rules" ||
      { echo "device rule lacks $id" >&2; exit 1; }
  done
  grep -q 'DRIVERS=="cdc_acm"' "$rules"
  echo "device rule: $(grep -c uaccess "$rules") uaccess lines"
  # Starts and keeps running: killed by timeout (status 124) is success.
  set +e
  QT_QPA_PLATFORM=offscreen timeout 2 /usr/bin/rm427
  rc=$?
  set -e
  [ $rc -eq 124 ] || { echo "rm427 ended with status $rc" >&2; exit 1; }
  echo "installed, started and removed: OK"
fi
