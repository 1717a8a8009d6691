#!/usr/bin/env bash
# The C++ sources in the style of .clang-format (clang-format-14, installed by tools/deps.sh).
#   bash tools/format.sh           rewrites every file that differs
#   bash tools/format.sh --check   changes nothing; names the files that differ, exit 1 if any
set -euo pipefail
cd "$(dirname "$0")/.."
cf=${CLANG_FORMAT:-clang-format-14}
command -v "$cf" >/dev/null || { echo "$cf not found: bash tools/deps.sh installs it" >&2; exit 2; }
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
  mapfile -t bad < <("$cf" --style=file --dry-run "${files[@]}" 2>&1 |
                     sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: \(warning\|error\): .*/\1/p' | sort -u)
  if [ ${#bad[@]} -gt 0 ]; then
    printf '%s\n' "${bad[@]}"
    echo "${#bad[@]} of ${#files[@]} files differ from .clang-format (bash tools/format.sh rewrites them)" >&2
    exit 1
  fi
  echo "all ${#files[@]} files follow .clang-format"
  exit 0
fi
"$cf" --style=file -i "${files[@]}"
