#!/usr/bin/env bash
# Reads the export tables of a Windows build's DLLs: the wizard library
# exports INITWIZARD0001 (stdcall, under exactly that name: the IDE looks it
# up by it) and its loader hook, the example package the four in-proc server
# entries, all undecorated and nothing else.
#   scripts/check-exports.sh BUILD_DIR ARCH (i686 or x86_64)
set -euo pipefail
build=$1 arch=$2
objdump=$arch-w64-mingw32-objdump
status=0
exports() { "$objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -oE '[^ ]+$' | grep -v Table | sort | tr '\n' ' '; }
expect() {
  local file=$1 want=$2 got
  got=$(exports "$file")
  if [[ "$got" == "$want" ]]; then
    echo "$arch $(basename "$file"): $got"
  else
    echo "$arch $(basename "$file"): exports '$got', expected '$want'"
    status=1
  fi
}
expect "$build/bin/TalvixLoader.dll" "INITWIZARD0001 TalvixSetLoaderObserver "
expect "$build/bin/TalvixExamplePackage.dll" "DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer "
if [[ $arch == i686 ]]; then
  # Before the linker strips the decoration, a stdcall entry of three
  # pointer arguments is _INITWIZARD0001@12.
  obj=$(find "$build" -path '*wizard.dir*' -name 'WizardExports.cpp.obj' | head -1)
  if "$arch-w64-mingw32-nm" "$obj" | grep -q ' T _INITWIZARD0001@12$'; then
    echo "$arch INITWIZARD0001 is stdcall"
  else
    echo "$arch INITWIZARD0001 is not stdcall with three arguments"
    status=1
  fi
fi
exit $status
