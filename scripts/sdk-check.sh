#!/usr/bin/env bash
# A package author's path through the SDK: install it from a build; build the
# example package outside the tree against it (find_package, then
# pkg-config) and the C package from the installed IDL header; check that a
# package that does not link the SDK's library fails to link; run the
# example scenario of expect steps in the installed simulator with the
# packages built outside, and the example's own tests (sessions of the
# simulated IDE in one process) built against the installed simulator library.
#   scripts/sdk-check.sh [BUILD_FOLDER]   (default: build/ci)
set -euo pipefail
cd "$(dirname "$0")/.."
build="$PWD/${1:-build/ci}"
prefix="$build/sdk-install"
work="$build/sdk-example"
rm -rf "$prefix" "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$prefix" >/dev/null
echo "SDK installed in $prefix"

cmake -S examples/ExamplePackage -B "$work/cmake" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake" >/dev/null
echo "built with find_package(TalvixSDK): $work/cmake/TalvixExamplePackage.so"
"$work/cmake/example_package_tests" --gtest_brief=1
echo "its tests, built against Talvix::Simulator, pass"

export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
read -ra cflags <<<"$(pkg-config --cflags talvix-sdk)"
read -ra libs <<<"$(pkg-config --libs talvix-sdk)"
for source in examples/ExamplePackage/*.cpp; do
  ccache g++ "${cflags[@]}" -fPIC -O1 -c "$source" -o "$work/$(basename "$source" .cpp).o"
done
g++ -shared "$work"/*.o -o "$work/ByPkgConfig.so" "${libs[@]}"
echo "built with pkg-config talvix-sdk: $work/ByPkgConfig.so"
if g++ -shared "$work"/*.o -o "$work/Unlinked.so" -Wl,--no-undefined 2>/dev/null; then
  echo "a package without the SDK's library linked: it must not"
  exit 1
fi
echo "without the SDK's library the link fails, as on Windows"

# The list names two products nobody registered, so the run ends with the
# package-failure status (2); a failed step would make it 1.
status=0
for package in "$work/cmake/TalvixExamplePackage.so" "$work/ByPkgConfig.so"; do
  code=0
  (cd "$work" && "$prefix/bin/talvix-sim" --reg "$prefix/share/talvix/packages.reg" --register "$package" \
    --scenario "$OLDPWD/examples/expectations.scenario" >"$package.report.txt") || code=$?
  if ((code == 2)); then
    echo "$(basename "$package"): the expectations scenario passes in the installed simulator"
  else
    echo "$(basename "$package"): the expectations scenario ended with status $code (see $package.report.txt)"
    status=1
  fi
done

# The C package, from the header widl generated from the IDL (installed when
# widl was there): one compiler line, and its own scenario.
if [[ -f "$prefix/include/talvix/idl/TalvixBds.h" ]]; then
  gcc -std=c11 -Wall -Wextra -Werror -fPIC -shared -fvisibility=hidden -I"$prefix/include/talvix/idl" \
    -I"$prefix/include/talvix/host/win32/c" examples/CPackage/CPackage.c -o "$work/TalvixCPackage.so" \
    -L"$prefix/lib" -lwin32 -Wl,-rpath,"$prefix/lib" -Wl,--no-undefined
  if (cd "$work" && "$prefix/bin/talvix-sim" --reg "$OLDPWD/examples/CPackage/packages.reg" \
    --register "$work/TalvixCPackage.so" --scenario "$OLDPWD/examples/CPackage/cpackage.scenario" \
    >"$work/TalvixCPackage.so.report.txt"); then
    echo "TalvixCPackage.so: built in C from the installed IDL header, its scenario passes"
  else
    echo "TalvixCPackage.so: its scenario failed (see $work/TalvixCPackage.so.report.txt)"
    status=1
  fi
fi
exit $status
