#!/usr/bin/env bash
# Installs the Debian packages the builds need, only those missing.
set -euo pipefail

packages=(cmake ninja-build g++ make libgtest-dev libgmock-dev googletest libbenchmark-dev
          nlohmann-json3-dev libcli11-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 valgrind
          clang-14 libclang-rt-14-dev clang-format ccache wine64 xvfb pkgconf libcairo2-dev
          wine64-tools)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [[ $(id -u) -ne 0 ]]; then sudo=sudo; else sudo=; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
