#!/usr/bin/env bash
# The Windows part of the test suite. Builds the 64- and 32-bit Windows
# presets with mingw-w64, checks the DLLs' export tables, then, in a fresh
# Wine prefix (64-bit; 32-bit programs cannot run on these machines) under
# Xvfb, registers the example package with regsvr32, imports the package list
# with regedit, runs each example scenario in talvix-sim.exe and compares its
# report with the Linux report of the same run (scripts/compare-reports.py).
# The Linux reports come from the given folder (default: build/ci/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
linux_bin="${1:-build/ci/bin}"
status=0

echo "=== windows: build (64-bit: everything; 32-bit: the DLLs)"
cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64 -j"$(nproc)"
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 -j"$(nproc)" --target wizard TalvixExamplePackage

echo "=== windows: export tables"
scripts/check-exports.sh build/windows-x86 i686 || status=1
scripts/check-exports.sh build/windows-x64 x86_64 || status=1

bin=build/windows-x64/bin
out=build/windows-x64/reports
rm -rf "$out" && mkdir -p "$out"
export WINEPREFIX="$PWD/build/windows-x64/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
wine=/usr/lib/wine/wine64
/usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
export DISPLAY=$display
start=$SECONDS
# One server for the whole run, rather than one started for each program.
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver -p
timeout 300 "$wine" wineboot -i >/dev/null 2>&1
winpath() { echo "Z:$(realpath "$1")" | tr / '\\'; }
# A virtual desktop: without a window manager on the X server, Wine waits
# about a second for each top-level window it hides.
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' '[HKEY_CURRENT_USER\Software\Wine\Explorer]' \
  '"Desktop"="Default"' '' '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1280x1024"' \
  >"$out/desktop.reg"
timeout 120 "$wine" regedit /s "$(winpath "$out/desktop.reg")"
# The desktop is made when the server starts.
/usr/lib/wine/wineserver -k && /usr/lib/wine/wineserver -w && /usr/lib/wine/wineserver -p
echo "wine prefix made in $((SECONDS - start)) s"
timeout 120 "$wine" regsvr32 /s "$(winpath $bin/TalvixExamplePackage.dll)" || { echo "regsvr32 failed"; status=1; }
timeout 120 "$wine" regedit /s "$(winpath examples/packages.reg)" || { echo "regedit failed"; status=1; }
echo "=== windows: the win32 stand-in's behaviour tests, against Wine"
# Where Wine itself departs from Windows, the test says so and cites the
# Windows documentation.
scripts/wine-tests.sh "$bin/tests_win32.exe" || status=1

echo "=== windows: example scenarios under Wine, compared with Linux"
for scenario in examples/*.scenario; do
  name=$(basename "$scenario" .scenario)
  start=$SECONDS
  "$linux_bin/talvix-sim" --reg examples/packages.reg --register "$linux_bin/TalvixExamplePackage.so" \
    --scenario "$scenario" >"$out/$name.linux.txt" || true
  # A message box nobody answers would wait for ever: the run is bounded.
  timeout 300 "$wine" "$bin/talvix-sim.exe" --scenario "$(winpath "$scenario")" >"$out/$name.wine.txt" 2>"$out/$name.wine.err" || true
  echo "$name: $((SECONDS - start)) s under Wine"
  scripts/compare-reports.py "$out/$name.linux.txt" "$out/$name.wine.txt" || status=1
done
exit $status
