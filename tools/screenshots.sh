#!/usr/bin/env bash
# Renders every window at 100 % and 200 % (QT_SCALE_FACTOR), in English and
# Chinese, with the system's colours and the high-contrast ones, into
# OUTDIR/<scale>-<language>-<colours>/<window>.png, and lists every caption
# that its control cuts off. Exit status 1 when there is one.
#   bash tools/screenshots.sh [OUTDIR]      (default build/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
out=${1:-$build_dir/screenshots}
cmake --build "$build_dir" --target rm427-shots >/dev/null
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
status=0
for scale in 1 2; do
  for language in 0 1; do
    for colours in 0 2; do
      name="$((scale * 100))-$([ $language = 0 ] && echo en || echo zh)-$([ $colours = 0 ] && echo system || echo contrast)"
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
