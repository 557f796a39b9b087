#!/usr/bin/env bash
# The whole test suite: the plain build (warnings as errors), the sanitizer
# build (AddressSanitizer, UndefinedBehaviorSanitizer, LeakSanitizer) and the
# Windows compile checks of the SDK (registered as tests of the plain build).
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
for preset in ci asan; do
  echo "=== $preset: build"
  scripts/setup.sh "$preset"
  echo "=== $preset: test"
  ctest --preset "$preset" || status=1
done
exit $status
