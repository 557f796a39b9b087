#!/usr/bin/env bash
# Runs a GoogleTest program of the Windows build under Wine, each test in its
# own process as ctest does on Linux. Prints one line per failure and a count;
# fails when any test failed. WINEPREFIX, DISPLAY and the server are set up
# by the caller (scripts/windows.sh).
#   scripts/wine-tests.sh PROGRAM.exe
set -euo pipefail
program=$1
wine=/usr/lib/wine/wine64
passed=0 failed=0 skipped=0
for test in $("$wine" "$program" --gtest_list_tests 2>/dev/null | tr -d '\r' | awk '/^[^ ]/{s=$1} /^  /{print s $1}'); do
  out=$(timeout 120 "$wine" "$program" --gtest_filter="$test" 2>&1 | tr -d '\r' || true)
  if grep -q '^\[  SKIPPED' <<<"$out"; then
    skipped=$((skipped + 1))
  elif grep -q '^\[  PASSED  \] 1 test' <<<"$out"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED under Wine: $test"
    grep -A6 'Failure' <<<"$out" | head -20 | sed 's/^/    /'
  fi
done
echo "$(basename "$program") under Wine: $passed passed, $skipped skipped, $failed failed"
((failed == 0))
