#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset, clang) and runs each one:
# first over its saved corpus in tests/fuzz/corpus/<target>, where every input
# must pass, then for a bounded time. What the bounded run discovers goes to a
# temporary directory, so the saved corpus changes only when someone copies a
# finding in; a crashing input is kept under <build>/fuzz-crashes/<target>.
# Usage: scripts/fuzz.sh [seconds per target, default 30]
# TVX_FUZZ_BUILD_DIR overrides the build directory (default build/fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
build="${TVX_FUZZ_BUILD_DIR:-build/fuzz}"
targets=(RegFileImportFuzz PackageListFuzz GuidTextFuzz ScenarioTextFuzz)

scripts/install-deps.sh
cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" --target fuzz-targets -j"$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
summary=()
for target in "${targets[@]}"; do
  program="$build/bin/$target"
  corpus="tests/fuzz/corpus/$target"
  crashes="$build/fuzz-crashes/$target"
  mkdir -p "$work/$target" "$crashes"
  log="$work/$target.log"

  echo "=== $target: saved corpus ($(find "$corpus" -type f | wc -l) inputs)"
  if ! "$program" -runs=0 -artifact_prefix="$crashes/" "$corpus" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "FAILED: $target on its saved corpus (inputs under $crashes)"
    status=1
    summary+=("$target: saved corpus FAILED")
    continue
  fi

  echo "=== $target: ${seconds} s"
  if ! "$program" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$crashes/" "$work/$target" "$corpus" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "FAILED: $target (inputs under $crashes)"
    status=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  found=$(find "$work/$target" -type f | wc -l)
  summary+=("$target: ${runs:-?} executions in ${seconds} s, $found new inputs")
done

echo "=== fuzzing summary"
printf '  %s\n' "${summary[@]}"
exit $status
