#!/usr/bin/env bash
# Renders every window at 100 %, 150 % and 200 % (QT_SCALE_FACTOR), in English and
# Chinese, with the system's colours and the high-contrast ones, into
# OUTDIR/<scale>-<language>-<colours>/<window>.png, and lists every caption
# that its control cuts off. Exit status 1 when there is one.
#   bash tools/screenshots.sh [OUTDIR]      (default build/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
out=${1:-$build_dir/screenshots}
cmake --build "$build_dir" --target rm427-shots >/dev/null
mkdir -p "$out"
# A 4K screen: the offscreen platform's own is 800 x 600, which at 200 % left
# the windows 400 logical pixels wide and cut the channel window off.
cat >"$out/screen.json" <<'JSON'
{ "screens": [ { "name": "4K", "x": 0, "y": 0, "width": 3840, "height": 2160,
                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] }
JSON
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen:configfile=$out/screen.json}
status=0
for percent in 100 150 200; do
  scale=$(printf '%d.%02d' $((percent / 100)) $((percent % 100)))
  for language in 0 1; do
    for colours in 0 2; do
      name="$percent-$([ $language = 0 ] && echo en || echo zh)-$([ $colours = 0 ] && echo system || echo contrast)"
      if ! QT_SCALE_FACTOR=$scale "$build_dir/tests/rm427-shots" "$out/$name" $language $colours \
          >"$out.$name.txt" 2>/dev/null; then
        status=1
      fi
      sed "s/^/$name: /" "$out.$name.txt"
      rm -f "$out.$name.txt"
    done
  done
done
[ $status = 0 ] && echo "No clipped caption."
exit $status
