#!/usr/bin/env bash
# The C++ sources against .clang-format (Debian 12's clang-format 14).
#   tools/check-format.sh          list the files that differ; exit 1 if any
#   tools/check-format.sh --fix    format them in place
set -euo pipefail
cd "$(dirname "$0")/.."

clang_format=${CLANG_FORMAT:-}
if [ -z "$clang_format" ]; then
  for c in clang-format clang-format-14; do
    if command -v "$c" >/dev/null; then clang_format=$c; break; fi
  done
fi
if [ -z "$clang_format" ]; then
  echo "check-format: clang-format not found (apt-get install clang-format)" >&2
  exit 2
fi

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
  "$clang_format" -i "${files[@]}"
  exit 0
fi

bad=()
for f in "${files[@]}"; do
  "$clang_format" --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
  printf 'not formatted: %s\n' "${bad[@]}" >&2
  echo "run: bash tools/check-format.sh --fix" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files formatted"
