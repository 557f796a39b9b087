#!/usr/bin/env bash
# The whole test suite: the format check, the plain build (warnings as
# errors), the sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer,
# LeakSanitizer), the Windows compile checks of the SDK (registered as tests
# of the plain build), the Windows builds run under Wine (scripts/windows.sh),
# the main command under valgrind's memcheck, and the
# fuzz targets over their saved corpora plus a short run each. Between them,
# the SDK installed from the plain build and a package built against it
# outside the tree (scripts/sdk-check.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
scripts/install-deps.sh
echo "=== format"
scripts/format.sh --check || status=1
for preset in ci asan; do
  echo "=== $preset: build"
  scripts/setup.sh "$preset"
  echo "=== $preset: test"
  ctest --preset "$preset" || status=1
done
echo "=== sdk: installed, the example package built outside the tree against it"
scripts/sdk-check.sh build/ci || status=1
echo "=== windows: mingw-w64 builds, export tables, Wine runs compared with Linux"
scripts/windows.sh build/ci/bin || status=1
echo "=== memcheck: the main command under valgrind (ci binaries)"
scripts/memcheck.sh build/ci/bin || status=1
echo "=== fuzz: saved corpora, then a bounded run per target"
scripts/fuzz.sh 20 || status=1
exit $status
