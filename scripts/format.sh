#!/usr/bin/env bash
# Formats every C and C++ file the repository tracks with its .clang-format.
# Usage: scripts/format.sh          rewrite the files
#        scripts/format.sh --check  only report files that differ (status 1)
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
if [[ "${1:-}" == "--check" ]]; then
  if ! clang-format --dry-run -Werror "${files[@]}" 2>/tmp/tvx-format.$$; then
    grep -o '^[^:]*\.\(c\|cpp\|h\)' /tmp/tvx-format.$$ | sort -u | sed 's/^/not formatted: /'
    rm -f /tmp/tvx-format.$$
    echo "run scripts/format.sh to format them"
    exit 1
  fi
  rm -f /tmp/tvx-format.$$
  echo "format: clean"
else
  clang-format -i "${files[@]}"
fi
