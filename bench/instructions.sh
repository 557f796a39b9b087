#!/usr/bin/env bash
# Instructions per operation of the hot paths, counted by callgrind: stable on
# a noisy machine, unlike times. Each case runs twice with a fixed iteration
# count; the difference cancels the set-up.
#   bench/instructions.sh [build dir]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
bench="$build/bin/talvix-bench"
[[ -x "$bench" ]] || { echo "build $bench first (scripts/setup.sh)" >&2; exit 1; }
command -v valgrind >/dev/null || { echo "valgrind is needed (apt-get install valgrind)" >&2; exit 1; }

# case|low|high: the start-up case is slow under callgrind, so it runs fewer.
cases=(
  "MessageHook/handlers:0|2000|12000" "MessageHook/handlers:1|2000|12000"
  "MessageHook/handlers:4|2000|12000" "MessageHook/handlers:16|2000|12000"
  "IsShortcut/hit|2000|12000" "IsShortcut/miss|2000|12000"
  "Interop/IBdsMenuItem.Caption|2000|12000" "Interop/IBdsToolBarComboBox.AddItem+GetItem|2000|12000"
  "Startup/packages:100|20|80" "TabSet/repaint:30tabs|200|1200"
  "Notifier/Modified|2000|12000" "Notifier/AllowSave-default|2000|12000"
)

instructions() {  # case, iterations
  local out
  out=$(mktemp)
  local pattern
  pattern=$(printf '%s' "$1" | sed 's/[.+]/\\&/g')
  TVX_BENCH_ITERATIONS="$2" valgrind --tool=callgrind --callgrind-out-file="$out" \
    "$bench" --benchmark_filter="^${pattern}(/iterations:[0-9]+)?\$" >/dev/null 2>&1 || { rm -f "$out"; echo 0; return; }
  awk '/^(summary|totals):/ {print $2; exit}' "$out"
  rm -f "$out"
}

printf '%-48s %14s %14s %8s\n' "Case" "instr/op" "floor instr/op" "ratio"
for entry in "${cases[@]}"; do
  IFS='|' read -r name low high <<<"$entry"
  row=()
  for variant in "$name" "$name/floor"; do
    a=$(instructions "$variant" $low)
    b=$(instructions "$variant" $high)
    row+=("$(( (b - a) / (high - low) ))")
  done
  if (( row[1] > 0 )); then
    ratio=$(awk -v s="${row[0]}" -v f="${row[1]}" 'BEGIN {printf "%.2f", s / f}')
    printf '%-48s %14s %14s %8s\n' "$name" "${row[0]}" "${row[1]}" "$ratio"
  fi
done
